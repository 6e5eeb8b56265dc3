#include "service/ModernResultPage.h"

#include <algorithm>

#include "common/Cp932.h"
#include "service/ServiceText.h"

namespace zb {

namespace {

constexpr int kPageLinks = 10;

// The fixed texts of a page in one interface language, UTF-8.
struct Captions {
    const char *Language, *Title, *Button, *Previous, *Next, *Pages, *SafeOn, *SafeOff;
};

const Captions& CaptionsFor(const std::string& uiLanguage) {
    static const Captions ja = {"ja",
                                "Zunbarra イメージ検索",
                                "検索",
                                "前へ",
                                "次へ",
                                "結果ページ",
                                "セーフサーチ: オン",
                                "セーフサーチ: オフ"};
    static const Captions en = {
        "en",   "Zunbarra Image Search", "Search",         "Previous",
        "Next", "Result pages",          "SafeSearch: on", "SafeSearch: off"};
    return uiLanguage == "ja" ? ja : en;
}

// CP932 text from the corpus or the query, escaped and made UTF-8.
std::string Html(const std::string& cp932) {
    return Cp932ToUtf8(EscapeEcho(cp932));
}

std::string SearchLink(const ImageQuery& query, int offset) {
    return "/search?" + query.EncodeSearch(offset);
}

std::string Summary(const Captions& c, const std::string& echo, std::size_t total,
                    std::size_t first, std::size_t last) {
    const std::string t = std::to_string(total), f = std::to_string(first),
                      l = std::to_string(last);
    const bool ja = std::string(c.Language) == "ja";
    if (total == 0) {
        return ja ? "「" + echo + "」に該当する画像は見つかりませんでした。"
                  : "No images match “" + echo + "”.";
    }
    if (first > last) return ja ? "これ以上の結果はありません。" : "No more results.";
    return ja ? "「" + echo + "」の画像 " + t + " 件中 " + f + "–" + l + " 件目"
              : f + "–" + l + " of " + t + " images for “" + echo + "”";
}

std::string Head(const Captions& c, const ImageQuery& query, const std::string& echo, bool previous,
                 bool next) {
    std::string head = std::string("<!DOCTYPE html>\n<html lang=\"") + c.Language +
                       "\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<title>" +
                       echo + " - " + c.Title + "</title>\n";
    if (previous) {
        head += "<link rel=\"prev\" href=\"" +
                SearchLink(query, std::max(0, query.Start - query.Num)) + "\">\n";
    }
    if (next)
        head += "<link rel=\"next\" href=\"" + SearchLink(query, query.Start + query.Num) + "\">\n";
    return head + "<link rel=\"stylesheet\" href=\"/static/results.css\">\n</head>\n";
}

std::string Header(const Captions& c, const ImageQuery& query, const std::string& echo) {
    return std::string(
               "<body>\n<header class=\"top\">\n<a class=\"logo\" href=\"/\">Zunbarra</a>\n"
               "<form action=\"/search\" method=\"get\" role=\"search\">"
               "<input type=\"search\" name=\"q\" value=\"") +
           echo + "\"><input type=\"hidden\" name=\"safe\" value=\"" +
           (query.SafeSearch ? "on" : "off") + "\"><button type=\"submit\">" + c.Button +
           "</button></form>\n<span class=\"safe\">" + (query.SafeSearch ? c.SafeOn : c.SafeOff) +
           "</span>\n</header>\n";
}

// One hit a line; the thumbnail address comes before any text of the corpus.
std::string HitLine(const ImageEntry& e, bool doubled) {
    return std::string("<li class=\"hit\"><a href=\"http://") + e.Site + e.ImagePath +
           "\"><img class=\"thumb\" data-src=\"" + (doubled ? "data-src=\"" : "") +
           ThumbnailPath(e) + "\" width=\"" + std::to_string(e.ThumbWidth) + "\" height=\"" +
           std::to_string(e.ThumbHeight) + "\" loading=\"lazy\" alt=\"" + Html(e.Title) +
           "\"></a><span class=\"size\">" + std::to_string(e.Width) + " × " +
           std::to_string(e.Height) + " · " + std::to_string(e.SizeKb) +
           " KB</span><span class=\"site\">" + e.Site + "</span></li>\n";
}

std::string PageLinks(const Captions& c, const ImageQuery& query, std::size_t total, bool next) {
    const int pageCount = static_cast<int>((total + query.Num - 1) / query.Num);
    const int current = query.Start / query.Num;
    const int firstLink = std::max(0, std::min(current - kPageLinks / 2, pageCount - kPageLinks));
    std::string nav = std::string("<nav class=\"pages\" aria-label=\"") + c.Pages + "\">\n";
    if (query.Start > 0) {
        nav += "<a class=\"prev\" href=\"" +
               SearchLink(query, std::max(0, query.Start - query.Num)) + "\">" + c.Previous +
               "</a>\n";
    }
    for (int p = firstLink; p < std::min(pageCount, firstLink + kPageLinks); ++p) {
        if (p == current && query.Start % query.Num == 0) {
            nav += "<span aria-current=\"page\">" + std::to_string(p + 1) + "</span>\n";
        } else {
            nav += "<a href=\"" + SearchLink(query, p * query.Num) + "\">" + std::to_string(p + 1) +
                   "</a>\n";
        }
    }
    if (next) {
        nav += "<a class=\"next\" href=\"" + SearchLink(query, query.Start + query.Num) + "\">" +
               c.Next + "</a>\n";
    }
    return nav + "</nav>\n";
}

}  // namespace

std::string RenderModernResultPage(const ImageQuery& query,
                                   const std::vector<const ImageEntry*>& hits,
                                   const ResultPageOptions& options) {
    const Captions& c = CaptionsFor(query.UiLanguage);
    const std::string echo = Html(query.DisplayText());
    const std::size_t total = hits.size();
    const std::size_t from = std::min<std::size_t>(static_cast<std::size_t>(query.Start), total);
    const std::size_t to = std::min<std::size_t>(from + static_cast<std::size_t>(query.Num), total);
    const bool next = to < total && options.NextMarker;

    std::string page = Head(c, query, echo, query.Start > 0 && total > 0, next) +
                       Header(c, query, echo) + "<main>\n<p class=\"summary\">" +
                       Summary(c, echo, total, from + 1, to) + "</p>\n<ul class=\"results\">\n";
    for (std::size_t i = from; i < to; ++i) {
        const bool doubled = options.DoubleSrcHit > 0 &&
                             i - from + 1 == static_cast<std::size_t>(options.DoubleSrcHit);
        page += HitLine(*hits[i], doubled);
    }
    page += "</ul>\n";
    if (total > 0) page += PageLinks(c, query, total, next);
    return page +
           "</main>\n<footer>&copy; 2004 Zunbarra</footer>\n"
           "<script>for (const img of document.querySelectorAll(\"img.thumb\")) "
           "img.src = img.dataset.src;</script>\n"
           "</body>\n</html>\n";
}

}  // namespace zb
