#include "regex/TAWKStr.h"

#include "regex/REDictionary.h"

namespace zb {

namespace {

// Byte length of the character at position i (0-based) of s: two for a lead byte that has a
// byte after it, else one.
std::size_t charLength(const std::string& s, std::size_t i) {
    return IsDBCSLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

}  // namespace

TAWKStr::TAWKStr() {
    ListOfFuzzyCharDic().push_back(&RE_FuzzyCharDic());
}

void TAWKStr::SetRegExp(const std::string& Str) {
    TMatchCORE::SetRegExp(Str);
    MatchProc = (GetHasLHead() || GetHasLTail()) ? &TMatchCORE::MatchEX : &TMatchCORE::MatchStd;
}

int TAWKStr::Match(const std::string& text, int& start, int& length) const {
    const char* t = text.c_str();
    const char* ms = nullptr;
    const char* me = nullptr;
    run(MatchProc, t, ms, me);
    if (ms == nullptr) {
        start = length = 0;
        return 0;
    }
    start = static_cast<int>(ms - t) + 1;
    length = static_cast<int>(me - ms);
    return start;
}

bool TAWKStr::Sub(const std::string& replacement, std::string& text) const {
    const char* t = text.c_str();
    const char* ms = nullptr;
    const char* me = nullptr;
    run(MatchProc, t, ms, me);
    if (ms == nullptr) return false;
    const auto from = static_cast<std::size_t>(ms - t);
    const auto count = static_cast<std::size_t>(me - ms);
    // Build the replacement before touching the text, so a bad replacement changes nothing.
    const std::string with = Substitute_MatchStr_For_ANDChar(replacement, text.substr(from, count));
    text.replace(from, count, with);
    return true;
}

int TAWKStr::GSub(const std::string& replacement, std::string& text) const {
    const char* t = text.c_str();
    const std::size_t size = text.size();
    const char* ms = nullptr;
    const char* me = nullptr;
    run(MatchProc, t, ms, me);
    if (ms == nullptr) return 0;
    if (size == 0) {
        text = Substitute_MatchStr_For_ANDChar(replacement, std::string());
        return 1;
    }
    std::string out;
    std::size_t rest = 0;  // the rest of the text starts here
    int count = 0;
    for (;;) {
        const auto from = static_cast<std::size_t>(ms - t);
        const auto to = static_cast<std::size_t>(me - t);
        out.append(text, rest, from - rest);
        out += Substitute_MatchStr_For_ANDChar(replacement, text.substr(from, to - from));
        std::size_t next = to;
        if (from == to && to < size) {
            // An empty match: copy one character so the search moves on; a CR goes with the
            // byte after it in CR LF mode, so no match falls inside a CR LF pair.
            std::size_t n = charLength(text, to);
            if (LineSeparator == mcls_CRLF && text[to] == '\r' && to + 1 < size) n = 2;
            out.append(text, to, n);
            next = to + n;
        }
        ++count;
        rest = next;
        if (rest >= size) break;
        const TAWKStrMatchProc proc =
            text[rest - 1] == '\n' ? MatchProc : &TMatchCORE::MatchEX_Inside;
        run(proc, t + rest, ms, me);
        if (ms == nullptr) break;
    }
    out.append(text, rest, std::string::npos);
    text = std::move(out);
    return count;
}

int TAWKStr::Split(const std::string& text, std::vector<std::string>& list) const {
    list.clear();
    std::string pending;
    std::size_t pos = 0;  // the remaining text starts here
    const char* t = text.c_str();
    while (pos < text.size()) {
        const char* ms = nullptr;
        const char* me = nullptr;
        run(MatchProc, t + pos, ms, me);
        if (ms == nullptr) {
            list.push_back(pending + text.substr(pos));
            return static_cast<int>(list.size());
        }
        const auto from = static_cast<std::size_t>(ms - t);
        const auto to = static_cast<std::size_t>(me - t);
        if (from == pos && to == pos) {
            // An empty match at the beginning is no separator: keep the character.
            const std::size_t n = charLength(text, pos);
            pending.append(text, pos, n);
            pos += n;
            continue;
        }
        list.push_back(pending + text.substr(pos, from - pos));
        pending.clear();
        pos = to;
        if (pos >= text.size()) {
            list.emplace_back();
            return static_cast<int>(list.size());
        }
    }
    if (!pending.empty()) list.push_back(pending);
    return static_cast<int>(list.size());
}

std::string TAWKStr::ProcessEscSeq(const std::string& text) {
    std::string out;
    int index = 1;
    const int size = static_cast<int>(text.size());
    while (index <= size) {
        const WChar_t ch = GetWChar(text, index);
        if (ch == '\\') {
            out += WCharToStr(GetQuotedWChar(text, index));
        } else if (ch == 0) {
            out += '\0';  // a zero byte inside the text is kept like any byte
        } else {
            out += WCharToStr(ch);
        }
    }
    return out;
}

std::string TAWKStr::Substitute_MatchStr_For_ANDChar(const std::string& replacement,
                                                     const std::string& matched) {
    // 1. An escaped "&" gets one more backslash, so it survives the escape resolution.
    std::string guarded;
    const int size = static_cast<int>(replacement.size());
    int index = 1;
    while (index <= size) {
        const int at = index;
        const WChar_t ch = GetWChar(replacement, index);
        guarded.append(replacement, static_cast<std::size_t>(at - 1),
                       static_cast<std::size_t>(index - at));
        if (ch == '\\' && index <= size) {
            const int next = index;
            const WChar_t escaped = GetWChar(replacement, index);
            if (escaped == '&') guarded += '\\';
            guarded.append(replacement, static_cast<std::size_t>(next - 1),
                           static_cast<std::size_t>(index - next));
        }
    }
    // 2. Resolve the escapes.
    const std::string resolved = ProcessEscSeq(guarded);
    // 3. "&" is the matched text, "\&" a literal "&"; any other backslash stays.
    std::string out;
    for (std::size_t i = 0; i < resolved.size();) {
        const char c = resolved[i];
        if (c == '&') {
            out += matched;
            ++i;
        } else if (c == '\\' && i + 1 < resolved.size() && resolved[i + 1] == '&') {
            out += '&';
            i += 2;
        } else {
            const std::size_t n = charLength(resolved, i);
            out.append(resolved, i, n);
            i += n;
        }
    }
    return out;
}

}  // namespace zb
