#include "service/ImageQuery.h"

#include <algorithm>

#include "common/Cp932.h"
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

// The words of q; decode turns one raw token into CP932 bytes.
template <typename Decode>
void SplitWords(std::string_view raw, ImageQuery& q, Decode decode) {
    for (std::string_view token : SplitOn(raw, '+')) {
        const bool excluded = token.starts_with('-');
        if (excluded) token.remove_prefix(1);
        std::string word = decode(token);
        if (word.empty()) continue;
        (excluded ? q.ExcludedWords : q.Words).push_back(std::move(word));
    }
}

void ParseWords(std::string_view raw, ImageQuery& q) {
    const std::string decoded = PercentDecode(raw);
    if (decoded.starts_with("tbn:")) {
        q.ThumbnailId = decoded.substr(4);
        if (!q.ThumbnailId.empty()) return;
    }
    SplitWords(raw, q, [](std::string_view token) { return PercentDecode(token); });
}

std::string Utf8Word(std::string_view token) {
    try {
        return Utf8ToCp932(PercentDecode(token));
    } catch (const Exception& e) {
        throw EBadRequest(400, std::string("q: ") + e.what());
    }
}

int PageSize(long n) {
    return n == 0 ? 20 : static_cast<int>(std::min<long>(n, ImageQuery::kMaxNum));
}

// Calls take(key, raw value) for the first occurrence of each key, as a form would send it.
template <typename Take>
void ForEachParameter(std::string_view queryString, Take take) {
    std::vector<std::string> seen;
    for (std::string_view pair : SplitOn(queryString, '&')) {
        const std::size_t eq = pair.find('=');
        const std::string key = DecodeValue(pair.substr(0, eq));
        const std::string_view raw =
            eq == std::string_view::npos ? std::string_view() : pair.substr(eq + 1);
        if (key.empty() || std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
        seen.push_back(key);
        take(key, raw);
    }
}

std::string EncodeWords(const ImageQuery& query, std::string (*encode)(const std::string&)) {
    std::string q;
    for (const std::string& w : query.Words)
        q += (q.empty() ? "" : "+") + encode(w);
    for (const std::string& w : query.ExcludedWords)
        q += (q.empty() ? "-" : "+-") + encode(w);
    return q;
}

std::string EncodeCp932(const std::string& word) {
    return PercentEncode(word);
}

std::string EncodeUtf8(const std::string& word) {
    return PercentEncode(Cp932ToUtf8(word));
}

}  // namespace

ImageQuery ParseImageQuery(std::string_view queryString) {
    ImageQuery q;
    ForEachParameter(queryString, [&q](const std::string& key, std::string_view raw) {
        if (key == "q") {
            q.HasQ = true;
            ParseWords(raw, q);
        } else if (key == "num") {
            q.Num = PageSize(ParseCount(key, DecodeValue(raw)));
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
    });
    return q;
}

ImageQuery ParseSearchQuery(std::string_view queryString) {
    ImageQuery q;
    ForEachParameter(queryString, [&q](const std::string& key, std::string_view raw) {
        if (key == "q") {
            q.HasQ = true;
            SplitWords(raw, q, Utf8Word);
        } else if (key == "count") {
            q.Num = PageSize(ParseCount(key, DecodeValue(raw)));
        } else if (key == "offset") {
            q.Start = static_cast<int>(ParseCount(key, DecodeValue(raw)));
        } else if (key == "safe") {
            q.SafeSearch = DecodeValue(raw) != "off";
        } else if (key == "ui") {
            q.UiLanguage = DecodeValue(raw);
        } else if (key == "lang") {
            const std::string list = DecodeValue(raw);
            for (std::string_view item : SplitOn(list, ',')) {
                if (!item.empty()) q.Languages.push_back(FoldAsciiCase(item));
            }
        }
    });
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
    std::string out = "q=" + EncodeWords(*this, EncodeCp932) + "&num=" + std::to_string(Num) +
                      "&start=" + std::to_string(start) + "&hl=" + PercentEncode(UiLanguage) +
                      "&imgsafe=" + (SafeSearch ? "on" : "off");
    if (!Languages.empty()) {
        std::string lr;
        for (const std::string& l : Languages)
            lr += (lr.empty() ? "lang_" : "|lang_") + l;
        out += "&lr=" + PercentEncode(lr);
    }
    return out;
}

std::string ImageQuery::EncodeSearch(int offset) const {
    std::string out = "q=" + EncodeWords(*this, EncodeUtf8) + "&offset=" + std::to_string(offset) +
                      "&count=" + std::to_string(Num) + "&safe=" + (SafeSearch ? "on" : "off");
    if (!Languages.empty()) {
        std::string lang;
        for (const std::string& l : Languages)
            lang += (lang.empty() ? "" : ",") + l;
        out += "&lang=" + PercentEncode(lang);
    }
    if (UiLanguage != "ja") out += "&ui=" + PercentEncode(UiLanguage);
    return out;
}

}  // namespace zb
