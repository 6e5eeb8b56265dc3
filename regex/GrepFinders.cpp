#include "regex/GrepFinders.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "regex/LineEnds.h"

namespace zb {

namespace {

// A rough rarity score of a byte in text (lower is rarer): the search looks for the rarest byte
// of the literal with memchr and checks the whole literal around each hit.
int commonness(unsigned char b) {
    if (b == ' ') return 100;
    if (b >= 'a' && b <= 'z') {
        static constexpr char kOrder[] = "etaoinshrdlcumwfgypbvkjxqz";  // most common first
        for (int i = 0; kOrder[i]; ++i) {
            if (kOrder[i] == b) return 90 - i;
        }
    }
    if (b >= 'A' && b <= 'Z') return 40;
    if (b >= '0' && b <= '9') return 45;
    if (b >= 0x80) return 50;  // double-byte text: lead bytes repeat a lot
    if (b == '<' || b == '>' || b == '/' || b == '=' || b == '"' || b == '.') return 35;
    return 20;
}

}  // namespace

LiteralFinder::LiteralFinder(std::string bytes) : bytes_(std::move(bytes)) {
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes_[i]);
        if (commonness(b) <= commonness(static_cast<unsigned char>(bytes_[rare_]))) rare_ = i;
    }
}

const char* LiteralFinder::Find(const char* from, const char* to) const {
    // The occurrence must begin before `to`; it may end up to Reach bytes later.
    const std::size_t n = bytes_.size();
    const char* end = to + n - 1;  // occurrences lie within [from, end)
    // The byte looked for first lies rare_ bytes into an occurrence that begins before `to`.
    const char* last = to + rare_;
    const unsigned char rare = static_cast<unsigned char>(bytes_[rare_]);
    std::size_t misses = 0;
    for (const char* p = from + rare_; p < last;) {
        const char* hit =
            static_cast<const char*>(std::memchr(p, rare, static_cast<std::size_t>(last - p)));
        if (hit == nullptr) return nullptr;
        const char* start = hit - rare_;
        if (std::memcmp(start, bytes_.data(), n) == 0) return start;
        // The byte is not rare in this text: let memmem take the rest.
        if (++misses > 16 && static_cast<std::size_t>(hit - from) < misses * 64) {
            return static_cast<const char*>(
                memmem(start + 1, static_cast<std::size_t>(end - start - 1), bytes_.data(), n));
        }
        p = hit + 1;
    }
    return nullptr;
}

int LiteralFinder::Hint(std::size_t& offset) const {
    offset = rare_;
    return static_cast<unsigned char>(bytes_[rare_]);
}

ByteSetFinder::ByteSetFinder(const std::array<bool, 256>& set) : set_(set) {
    int count = 0;
    for (int b = 0; b < 256; ++b) {
        if (set_[static_cast<std::size_t>(b)]) {
            ++count;
            only_ = b;
        }
    }
    empty_ = count == 0;
    if (count != 1) only_ = -1;
}

const char* ByteSetFinder::Find(const char* from, const char* to) const {
    if (empty_) return nullptr;
    if (only_ >= 0) {
        return static_cast<const char*>(
            std::memchr(from, only_, static_cast<std::size_t>(to - from)));
    }
    for (const char* p = from; p < to; ++p) {
        if (set_[static_cast<unsigned char>(*p)]) return p;
    }
    return nullptr;
}

int ByteSetFinder::Hint(std::size_t& offset) const {
    offset = 0;
    return only_;
}

bool IsPlainLiteralCode(WChar_t code) {
    if (code == 0 || code == '\n' || code == '\r') return false;
    const unsigned hi = code >> 8;
    const unsigned lo = code & 0xFF;
    if (hi == 0) return !IsDBCSLeadByte(static_cast<unsigned char>(lo));
    return IsDBCSLeadByte(static_cast<unsigned char>(hi)) && lo != '\n' && lo != '\r' && lo != 0;
}

std::unique_ptr<TxtCandidateFinder> MakeLiteralFinder(const std::vector<WChar_t>& codes) {
    std::string bytes;
    for (WChar_t c : codes) {
        if (!IsPlainLiteralCode(c)) return nullptr;
        bytes += WCharToStr(c);
    }
    if (bytes.empty()) return std::make_unique<ByteSetFinder>(std::array<bool, 256>{});
    return std::make_unique<LiteralFinder>(bytes);
}

namespace {

// The finder of the bytes a first character can begin with (nullptr when there are too many or a
// line end is among them). A lead byte always takes a trail, so single-byte codes in the lead
// range never occur; a CR reads as LF.
std::unique_ptr<TxtCandidateFinder> firstBytesFinder(const RE_DFAState_t* initial) {
    std::array<bool, 256> set{};
    int count = 0;
    auto mark = [&](unsigned b) {
        if (!set[b]) ++count;
        set[b] = true;
    };
    for (const RE_DFAStateSub_t& t : initial->Next) {
        const unsigned start = t.CharClass.StartChar;
        const unsigned end = t.CharClass.EndChar;
        for (unsigned c = start; c <= end && c <= 0xFF; ++c) {
            if (c == '\n' || c == '\r' || c == 0) return nullptr;
            if (!IsDBCSLeadByte(static_cast<unsigned char>(c))) mark(c);
        }
        if (end > 0xFF) {
            for (unsigned lead = std::max(start, 0x100u) >> 8; lead <= (end >> 8); ++lead) {
                if (IsDBCSLeadByte(static_cast<unsigned char>(lead))) mark(lead);
            }
        }
    }
    if (count > 64) return nullptr;  // too many candidates to gain anything
    return std::make_unique<ByteSetFinder>(set);
}

// The states reachable from `from` by attempts still running (accepting states end an attempt
// and are not passed), with `from` first; empty when there are more than `limit`.
std::vector<const RE_DFAState_t*> runningStates(const RE_DFAState_t* from, std::size_t limit) {
    std::vector<const RE_DFAState_t*> states{from};
    std::unordered_set<const RE_DFAState_t*> seen{from};
    for (std::size_t i = 0; i < states.size(); ++i) {
        if (states[i]->Accepted) continue;
        for (const RE_DFAStateSub_t& t : states[i]->Next) {
            if (seen.insert(t.TransitTo).second) {
                if (states.size() == limit) return {};
                states.push_back(t.TransitTo);
            }
        }
    }
    return states;
}

constexpr std::size_t kStateLimit = 512;

// Whether an attempt from `from` can read code 10 (a line end) before it accepts. When it cannot,
// an attempt ends at the first line end it reads.
bool readsLineEnd(const RE_DFAState_t* from) {
    const std::vector<const RE_DFAState_t*> states = runningStates(from, kStateLimit);
    if (states.empty()) return true;
    for (const RE_DFAState_t* s : states) {
        if (s->Accepted) continue;
        for (const RE_DFAStateSub_t& t : s->Next) {
            if (t.CharClass.StartChar <= '\n' && '\n' <= t.CharClass.EndChar) return true;
        }
    }
    return false;
}

// The bytes of a code that every attempt from `from` reads before it accepts, or "" when there
// is none (or the search would cost too much). A code is required when removing the transitions
// that take that code alone leaves no accepting state reachable.
std::string requiredCodeBytes(const RE_DFAState_t* from) {
    const std::vector<const RE_DFAState_t*> states = runningStates(from, kStateLimit);
    if (states.empty()) return "";
    std::vector<WChar_t> labels;
    for (const RE_DFAState_t* s : states) {
        if (s->Accepted) continue;
        for (const RE_DFAStateSub_t& t : s->Next) {
            const WChar_t c = t.CharClass.StartChar;
            if (c == t.CharClass.EndChar && IsPlainLiteralCode(c) &&
                std::find(labels.begin(), labels.end(), c) == labels.end()) {
                labels.push_back(c);
            }
        }
    }
    std::string best;
    for (std::size_t i = 0; i < labels.size() && i < 32; ++i) {
        const WChar_t c = labels[i];
        std::vector<const RE_DFAState_t*> stack{from};
        std::unordered_set<const RE_DFAState_t*> seen{from};
        bool accepts = false;
        while (!stack.empty() && !accepts) {
            const RE_DFAState_t* s = stack.back();
            stack.pop_back();
            if (s->Accepted) {
                accepts = true;
                break;
            }
            for (const RE_DFAStateSub_t& t : s->Next) {
                const bool onlyC = t.CharClass.StartChar == c && t.CharClass.EndChar == c;
                if (!onlyC && seen.insert(t.TransitTo).second) stack.push_back(t.TransitTo);
            }
        }
        if (accepts) continue;
        // Prefer a double-byte code, then the rarer byte.
        const std::string bytes = WCharToStr(c);
        const auto score = [](const std::string& b) {
            return b.size() * 1000 -
                   static_cast<std::size_t>(commonness(static_cast<unsigned char>(b.back())));
        };
        if (best.empty() || score(bytes) > score(best)) best = bytes;
    }
    return best;
}

}  // namespace

RequiredInLineFinder::RequiredInLineFinder(std::unique_ptr<TxtCandidateFinder> starts,
                                           std::size_t skip, std::string needle)
    : starts_(std::move(starts)), skip_(skip), needle_(std::move(needle)) {}

void RequiredInLineFinder::NewFill() const {
    lineOpen_ = false;
    lineFrom_ = lineEnd_ = needleFrom_ = needleAt_ = nullptr;
}

const char* RequiredInLineFinder::findNeedle(const char* from, const char* to) const {
    // One or two bytes: look for the first with memchr and compare the rest.
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(needle_.size());
    for (const char* p = from; to - p >= n; ++p) {
        p = static_cast<const char*>(std::memchr(p, needle_[0], static_cast<std::size_t>(to - p)));
        if (p == nullptr || to - p < n) return nullptr;
        if (std::memcmp(p, needle_.data(), needle_.size()) == 0) return p;
    }
    return nullptr;
}

const char* RequiredInLineFinder::Find(const char* from, const char* to) const {
    for (;;) {
        const char* q = starts_->Find(from, to);
        if (q == nullptr) return nullptr;
        // The first line end after q, within the range (beyond it q stays a candidate). The
        // starts of one line share it, and the next occurrence of the needle: both are kept
        // until the buffer is filled again, so a line is scanned once however many starts it has.
        if (lineEnd_ == nullptr || q < lineFrom_ || q >= lineEnd_) {
            lineFrom_ = q;
            lineEnd_ = FindLineEndOrNul(q, to);  // the buffer holds no NUL
            lineOpen_ = lineEnd_ == to;
            needleFrom_ = needleAt_ = nullptr;
        }
        // When the byte before the line end is no lead-range byte, the line end begins a
        // character in any reading and reads as code 10, which ends every attempt begun before.
        if (lineOpen_ || IsDBCSLeadByte(static_cast<unsigned char>(lineEnd_[-1]))) return q;
        const char* rest = q + skip_;
        if (rest >= lineEnd_) {
            from = lineEnd_;
            continue;
        }
        if (needleFrom_ == nullptr || rest < needleFrom_ ||
            (needleAt_ != nullptr && rest > needleAt_)) {
            needleFrom_ = rest;
            needleAt_ = findNeedle(rest, lineEnd_);
        }
        if (needleAt_ != nullptr) return q;
        from = lineEnd_;
    }
}

std::unique_ptr<TxtCandidateFinder> MakeDFAFinder(const RE_DFAState_t* initial) {
    // A prefix forced by a chain of states with one single-code transition each.
    std::string prefix;
    const RE_DFAState_t* s = initial;
    for (int steps = 0; steps < 256 && s != nullptr && !s->Accepted && s->Next.size() == 1;
         ++steps) {
        const RE_DFAStateSub_t& t = s->Next.front();
        if (t.CharClass.StartChar != t.CharClass.EndChar ||
            !IsPlainLiteralCode(t.CharClass.StartChar)) {
            break;
        }
        prefix += WCharToStr(t.CharClass.StartChar);
        s = t.TransitTo;
    }
    std::unique_ptr<TxtCandidateFinder> starts;
    if (!prefix.empty()) {
        starts = std::make_unique<LiteralFinder>(prefix);
    } else {
        starts = firstBytesFinder(initial);
        if (starts == nullptr) return nullptr;
        s = initial;
    }
    // A code that every match reads after the prefix: lines without it after a start are passed.
    if (s != nullptr && !s->Accepted && !readsLineEnd(s)) {
        const std::string needle = requiredCodeBytes(s);
        if (!needle.empty()) {
            return std::make_unique<RequiredInLineFinder>(std::move(starts), prefix.size(), needle);
        }
    }
    return starts;
}

}  // namespace zb
