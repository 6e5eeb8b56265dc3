#include "service/ResultPage.h"

#include <algorithm>

#include "common/Cp932.h"
#include "service/ServiceText.h"

namespace zb {

namespace {

constexpr int kHitsPerRow = 5;
constexpr int kPageLinks = 10;

// The fixed texts of a page in one interface language, already in CP932.
struct Captions {
    std::string Title, Web, Images, Groups, News, Button, ResultPage, Previous, Next, Pixels, Home,
        Ads, About;
    bool Japanese;
};

const Captions& CaptionsFor(const std::string& uiLanguage) {
    static const Captions ja = {Utf8ToCp932("Zunbarra イメージ検索"),
                                Utf8ToCp932("ウェブ"),
                                Utf8ToCp932("イメージ"),
                                Utf8ToCp932("グループ"),
                                Utf8ToCp932("ニュース"),
                                Utf8ToCp932("イメージ検索"),
                                Utf8ToCp932("結果ページ:"),
                                Utf8ToCp932("前へ"),
                                Utf8ToCp932("次へ"),
                                Utf8ToCp932("ピクセル"),
                                Utf8ToCp932("Zunbarra ホーム"),
                                Utf8ToCp932("広告掲載"),
                                Utf8ToCp932("Zunbarra について"),
                                true};
    static const Captions en = {
        "Zunbarra Image Search", "Web",          "Images",         "Groups", "News",
        "Search Images",         "Result Page:", "Previous",       "Next",   "pixels",
        "Zunbarra Home",         "Advertising",  "About Zunbarra", false};
    return uiLanguage == "ja" ? ja : en;
}

std::string Summary(const Captions& c, const std::string& echo, std::size_t total, int first,
                    int last) {
    const std::string t = std::to_string(total), f = std::to_string(first),
                      l = std::to_string(last);
    if (c.Japanese) {
        if (total == 0) {
            return "<b>" + echo + "</b>" + Utf8ToCp932(" に該当する画像は見つかりませんでした。");
        }
        if (first > last) return Utf8ToCp932("これ以上の結果はありません。");
        return "<b>" + echo + "</b>" + Utf8ToCp932(" の検索結果 約 ") + "<b>" + t + "</b>" +
               Utf8ToCp932(" 件中 ") + "<b>" + f + "</b> - <b>" + l + "</b>" + Utf8ToCp932(" 件目");
    }
    if (total == 0) return "Your search - <b>" + echo + "</b> - did not match any images.";
    if (first > last) return "No more results.";
    return "Results <b>" + f + "</b> - <b>" + l + "</b> of about <b>" + t + "</b> for <b>" + echo +
           "</b>";
}

// The line that carries one hit's image link.
std::string HitLine(const ImageQuery& query, const ImageEntry& e, bool doubleSrc) {
    return "<a href=/imgres?imgurl=http://" + e.Site + e.ImagePath + "&imgrefurl=http://" + e.Site +
           "/&h=" + std::to_string(e.Height) + "&w=" + std::to_string(e.Width) +
           "&sz=" + std::to_string(e.SizeKb) + "&tbnid=" + e.Id +
           "&tbnh=" + std::to_string(e.ThumbHeight) + "&tbnw=" + std::to_string(e.ThumbWidth) +
           "&start=" + std::to_string(query.Start) + "&prev=/images%3F" +
           PercentEncode(query.Encode(query.Start)) + "><img src=" + (doubleSrc ? "src=" : "") +
           ThumbnailPath(e) + " width=" + std::to_string(e.ThumbWidth) +
           " height=" + std::to_string(e.ThumbHeight) + " alt=\"\" border=1></a>\n";
}

std::string TextCell(const Captions& c, const ImageEntry& e) {
    return "<td align=center valign=top width=20%><font size=-1>" + EscapeEcho(e.Title) + "<br>" +
           std::to_string(e.Width) + " x " + std::to_string(e.Height) + " " + c.Pixels + " - " +
           std::to_string(e.SizeKb) + "k<br><font color=#008000>" + e.Site +
           "</font></font></td>\n";
}

std::string NavigationLinks(const ImageQuery& query, std::size_t total) {
    const int pageCount = static_cast<int>((total + query.Num - 1) / query.Num);
    const int current = query.Start / query.Num;
    const int firstLink = std::max(0, std::min(current - kPageLinks / 2, pageCount - kPageLinks));
    std::string line = "<td nowrap><font size=-1>";
    for (int p = firstLink; p < std::min(pageCount, firstLink + kPageLinks); ++p) {
        if (p == current && query.Start % query.Num == 0) {
            line += "<b>" + std::to_string(p + 1) + "</b> ";
        } else {
            line += "<a href=/images?" + query.Encode(p * query.Num) + ">" + std::to_string(p + 1) +
                    "</a> ";
        }
    }
    return line + "</font></td>\n";
}

// Bounds of the hits shown on this page, as indices into the full hit list.
struct HitWindow {
    std::size_t From, To;
};

HitWindow WindowFor(const ImageQuery& query, std::size_t total) {
    const std::size_t from = std::min<std::size_t>(static_cast<std::size_t>(query.Start), total);
    const std::size_t to = std::min<std::size_t>(from + static_cast<std::size_t>(query.Num), total);
    return {from, to};
}

std::string HtmlHead(const Captions& c, const std::string& echo) {
    return "<html><head><meta http-equiv=\"content-type\" content=\"text/html; "
           "charset=Shift_JIS\">\n"
           "<title>" +
           echo + " - " + c.Title +
           "</title>\n"
           "<style><!--\nbody,td,div,.p,a{font-family:arial,sans-serif}\n.q{color:#0000cc}\n--></"
           "style>\n"
           "</head>\n";
}

// The logo, the tabs to the other searches and the search form.
std::string SearchBar(const Captions& c, const ImageQuery& query, const std::string& echo) {
    const std::string q = query.Encode(0);
    return "<body bgcolor=#ffffff text=#000000 link=#0000cc vlink=#551a8b alink=#ff0000>\n"
           "<table border=0 cellpadding=0 cellspacing=0 width=100%><tr>\n"
           "<td width=1%><a href=/><img src=/images/logo_sm.gif width=150 height=55 "
           "alt=\"Zunbarra\" border=0></a></td>\n"
           "<td><font size=-1><a href=/search?" +
           q + ">" + c.Web + "</a>&nbsp;&nbsp;&nbsp;<b>" + c.Images +
           "</b>&nbsp;&nbsp;&nbsp;<a href=/groups?" + q + ">" + c.Groups +
           "</a>&nbsp;&nbsp;&nbsp;<a href=/news?" + q + ">" + c.News +
           "</a></font><br>\n"
           "<form action=/images method=GET name=f><input type=text name=q size=41 maxlength=256 "
           "value=\"" +
           echo + "\"><input type=submit value=\"" + c.Button +
           "\">"
           "<input type=hidden name=hl value=\"" +
           EscapeEcho(query.UiLanguage) +
           "\"></form>\n"
           "</td></tr></table>\n";
}

// The coloured bar with the result count, followed by the opening of the hit table.
std::string SummaryBar(const Captions& c, const std::string& echo, std::size_t total,
                       const HitWindow& window) {
    return "<table width=100% border=0 cellpadding=0 cellspacing=0 bgcolor=#e5ecf9><tr>"
           "<td nowrap><font size=+1>&nbsp;<b>" +
           c.Images +
           "</b></font></td>\n"
           "<td align=right nowrap><font size=-1>" +
           Summary(c, echo, total, static_cast<int>(window.From) + 1, static_cast<int>(window.To)) +
           "</font></td></tr></table>\n"
           "<table align=center border=0 cellpadding=5 cellspacing=0 width=100%>\n";
}

// Each row holds up to kHitsPerRow image links above a row of their descriptions.
std::string HitRows(const Captions& c, const ImageQuery& query,
                    const std::vector<const ImageEntry*>& hits, const HitWindow& window,
                    const ResultPageOptions& options) {
    std::string rows;
    for (std::size_t row = window.From; row < window.To; row += kHitsPerRow) {
        const std::size_t rowEnd = std::min(row + kHitsPerRow, window.To);
        rows += "<tr>\n";
        for (std::size_t i = row; i < rowEnd; ++i) {
            const bool doubled =
                options.DoubleSrcHit > 0 &&
                i - window.From + 1 == static_cast<std::size_t>(options.DoubleSrcHit);
            rows += "<td align=center valign=bottom width=20% nowrap>\n" +
                    HitLine(query, *hits[i], doubled) + "</td>\n";
        }
        rows += "</tr>\n<tr>\n";
        for (std::size_t i = row; i < rowEnd; ++i)
            rows += TextCell(c, *hits[i]);
        rows += "</tr>\n";
    }
    return rows + "</table>\n<br clear=all>\n";
}

// The result-page navigation: previous link, page numbers and next link.
std::string PageNavigation(const Captions& c, const ImageQuery& query, std::size_t total,
                           const HitWindow& window, const ResultPageOptions& options) {
    std::string nav =
        "<div align=center><table border=0 cellpadding=0 width=1% cellspacing=0 "
        "align=center><tr align=center valign=top>\n"
        "<td valign=bottom nowrap><font size=-1>" +
        c.ResultPage + "&nbsp;</font></td>\n";
    if (query.Start > 0) {
        nav += "<td nowrap><a href=/images?" + query.Encode(std::max(0, query.Start - query.Num)) +
               "><img src=/images/nav_previous.gif width=68 height=26 alt=\"\" border=0><br>" +
               c.Previous + "</a></td>\n";
    }
    nav += NavigationLinks(query, total);
    const bool more = window.To < total;
    if (more && options.NextMarker) {
        nav += "<td nowrap><a href=/images?" + query.Encode(static_cast<int>(window.To)) +
               "><img src=/images/nav_next.gif width=100 height=26 alt=\"\" border=0><br>" +
               c.Next + "</a></td>\n";
    }
    return nav + "</tr></table></div>\n";
}

std::string PageFooter(const Captions& c) {
    return "<br><center><font size=-1><a href=/>" + c.Home + "</a> - <a href=/ads/>" + c.Ads +
           "</a> - <a href=/about.html>" + c.About +
           "</a></font></center>\n"
           "<p><center><font size=-2>&copy;2004 Zunbarra</font></center>\n"
           "</body></html>\n";
}

}  // namespace

std::string ThumbnailPath(const ImageEntry& entry) {
    return "/images?q=tbn:" + entry.Id;
}

std::string RenderResultPage(const ImageQuery& query, const std::vector<const ImageEntry*>& hits,
                             const ResultPageOptions& options) {
    const Captions& c = CaptionsFor(query.UiLanguage);
    const std::string echo = EscapeEcho(query.DisplayText());
    const std::size_t total = hits.size();
    const HitWindow window = WindowFor(query, total);

    std::string page = HtmlHead(c, echo) + SearchBar(c, query, echo) +
                       SummaryBar(c, echo, total, window) +
                       HitRows(c, query, hits, window, options);
    if (total > 0) page += PageNavigation(c, query, total, window, options);
    page += PageFooter(c);
    return page;
}

}  // namespace zb
