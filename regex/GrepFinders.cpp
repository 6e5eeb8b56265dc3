#include "regex/GrepFinders.h"

#include <cstring>

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
    const unsigned char rare = static_cast<unsigned char>(bytes_[rare_]);
    std::size_t misses = 0;
    for (const char* p = from + rare_; p < end;) {
        const char* hit =
            static_cast<const char*>(std::memchr(p, rare, static_cast<std::size_t>(end - p)));
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
    if (!prefix.empty()) return std::make_unique<LiteralFinder>(prefix);

    // Otherwise the bytes a first character can begin with. A lead byte always takes a trail,
    // so single-byte codes in the lead range never occur; a CR reads as LF.
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

}  // namespace zb
