#include "service/ImageQuery.h"

#include <algorithm>

#include "service/EBadRequest.h"
#include "service/ServiceText.h"

namespace zb {

namespace {

constexpr long kMaxStart = 1000000000;

std::vector<std::string_view> SplitOn(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at == std::string_view::npos ? at : at - from));
        if (at == std::string_view::npos) return parts;
        from = at + 1;
    }
}

// A value other than q: '+' stands for a blank, then %XX escapes are decoded.
std::string DecodeValue(std::string_view raw) {
    std::string s(raw);
    std::replace(s.begin(), s.end(), '+', ' ');
    return PercentDecode(s);
}

long ParseCount(const std::string& name, const std::string& text) {
    const bool digits =
        !text.empty() && text.size() <= 10 &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    const long value = digits ? std::stol(text) : -1;
    if (value < 0 || value > kMaxStart) {
        throw EBadRequest(400, name + " must be a whole number from 0 to " +
                                   std::to_string(kMaxStart) + ", not \"" + text + "\"");
    }
    return value;
}

void ParseWords(std::string_view raw, ImageQuery& q) {
    const std::string decoded = PercentDecode(raw);
    if (decoded.starts_with("tbn:")) {
        q.ThumbnailId = decoded.substr(4);
        if (!q.ThumbnailId.empty()) return;
    }
    for (std::string_view token : SplitOn(raw, '+')) {
        const bool excluded = token.starts_with('-');
        if (excluded) token.remove_prefix(1);
        std::string word = PercentDecode(token);
        if (word.empty()) continue;
        (excluded ? q.ExcludedWords : q.Words).push_back(std::move(word));
    }
}

}  // namespace

ImageQuery ParseImageQuery(std::string_view queryString) {
    ImageQuery q;
    std::vector<std::string> seen;
    for (std::string_view pair : SplitOn(queryString, '&')) {
        const std::size_t eq = pair.find('=');
        const std::string key = DecodeValue(pair.substr(0, eq));
        const std::string_view raw =
            eq == std::string_view::npos ? std::string_view() : pair.substr(eq + 1);
        // The first occurrence of a key counts, as a form would send it.
        if (key.empty() || std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
        seen.push_back(key);
        if (key == "q") {
            q.HasQ = true;
            ParseWords(raw, q);
        } else if (key == "num") {
            const long n = ParseCount(key, DecodeValue(raw));
            q.Num = n == 0 ? 20 : static_cast<int>(std::min<long>(n, ImageQuery::kMaxNum));
        } else if (key == "start") {
            q.Start = static_cast<int>(ParseCount(key, DecodeValue(raw)));
        } else if (key == "imgsafe") {
            q.SafeSearch = DecodeValue(raw) != "off";
        } else if (key == "hl") {
            q.UiLanguage = DecodeValue(raw);
        } else if (key == "lr") {
            const std::string list = DecodeValue(raw);
            for (std::string_view item : SplitOn(list, '|')) {
                if (item.starts_with("lang_") && item.size() > 5) {
                    q.Languages.push_back(FoldAsciiCase(item.substr(5)));
                }
            }
        }
    }
    return q;
}

std::string ImageQuery::DisplayText() const {
    std::string text;
    for (const std::string& w : Words)
        text += (text.empty() ? "" : " ") + w;
    for (const std::string& w : ExcludedWords)
        text += (text.empty() ? "-" : " -") + w;
    return text;
}

std::string ImageQuery::Encode(int start) const {
    std::string q;
    for (const std::string& w : Words)
        q += (q.empty() ? "" : "+") + PercentEncode(w);
    for (const std::string& w : ExcludedWords)
        q += (q.empty() ? "-" : "+-") + PercentEncode(w);
    std::string out = "q=" + q + "&num=" + std::to_string(Num) + "&start=" + std::to_string(start) +
                      "&hl=" + PercentEncode(UiLanguage) +
                      "&imgsafe=" + (SafeSearch ? "on" : "off");
    if (!Languages.empty()) {
        std::string lr;
        for (const std::string& l : Languages)
            lr += (lr.empty() ? "lang_" : "|lang_") + l;
        out += "&lr=" + PercentEncode(lr);
    }
    return out;
}

}  // namespace zb
