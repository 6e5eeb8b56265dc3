#pragma once
// The parameters of an image-search request: /images?q=...&num=...&start=...&hl=...&imgsafe=...
// [&lr=...], or /images?q=tbn:<id> for one thumbnail; or, in the modern page layout,
// /search?q=...&offset=...&count=...&safe=...[&lang=...][&ui=...].

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

    // The same for /search: q=...&offset=N&count=M&safe=on|off[&lang=..][&ui=..], the words
    // as percent-encoded UTF-8.
    std::string EncodeSearch(int offset) const;
};

// Parses the query string of a request target (the text after '?'). In q, '+' separates words
// and a word after '-' is excluded; each word is then percent-decoded, so raw CP932 bytes and
// %XX escapes both work. Raises EBadRequest (400) for num or start that are not whole numbers.
ImageQuery ParseImageQuery(std::string_view queryString);

// Parses the query string of /search. q holds the words as UTF-8, '+' between them and '-'
// before an excluded one; offset (first hit, default 0) and count (hits a page, default 20) are
// whole numbers; safe=off shows adult images; lang names page languages (ja, or ja,en: any of
// them); ui is the caption language. Raises EBadRequest (400) for words that are not UTF-8 or
// have no CP932 form and for offset or count that are not whole numbers.
ImageQuery ParseSearchQuery(std::string_view queryString);

}  // namespace zb
