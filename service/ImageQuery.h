#pragma once
// The parameters of an image-search request: /images?q=...&num=...&start=...&hl=...&imgsafe=...
// [&lr=...], or /images?q=tbn:<id> for one thumbnail.

#include <string>
#include <string_view>
#include <vector>

namespace zb {

struct ImageQuery {
    std::vector<std::string> Words;          // each must be present (CP932 bytes, decoded)
    std::vector<std::string> ExcludedWords;  // none may be present
    std::string ThumbnailId;                 // set when q is tbn:<id>
    bool HasQ = false;                       // the request named q at all
    bool SafeSearch = true;                  // false only for imgsafe=off
    std::vector<std::string> Languages;      // page languages lr asks for; empty = any
    int Num = 20;                            // hits per page, 1 to kMaxNum
    int Start = 0;                           // offset of the page's first hit
    std::string UiLanguage = "ja";           // hl: "ja" gives Japanese captions

    static constexpr int kMaxNum = 100;

    bool IsThumbnail() const { return !ThumbnailId.empty(); }

    // The query text as a user would type it: words joined by blanks, excluded ones after '-'.
    std::string DisplayText() const;

    // The query string (without '?') for the same search at another offset, every value
    // percent-encoded.
    std::string Encode(int start) const;
};

// Parses the query string of a request target (the text after '?'). In q, '+' separates words
// and a word after '-' is excluded; each word is then percent-decoded, so raw CP932 bytes and
// %XX escapes both work. Raises EBadRequest (400) for num or start that are not whole numbers.
ImageQuery ParseImageQuery(std::string_view queryString);

}  // namespace zb
