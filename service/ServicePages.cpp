#include "service/ServicePages.h"

#include "common/Cp932.h"
#include "service/HttpResponse.h"
#include "service/ServiceText.h"

namespace zb {

std::string RenderHomePage() {
    return Utf8ToCp932(
        "<html><head><meta http-equiv=\"content-type\" content=\"text/html; charset=Shift_JIS\">\n"
        "<title>Zunbarra イメージ検索</title></head>\n"
        "<body bgcolor=#ffffff><center>\n"
        "<h1>Zunbarra イメージ検索</h1>\n"
        "<form action=/images method=GET name=f>\n"
        "<input type=text name=q size=41 maxlength=256>\n"
        "<input type=hidden name=num value=20><input type=hidden name=hl value=ja>\n"
        "<select name=imgsafe><option value=on selected>セーフサーチ オン</option>"
        "<option value=off>セーフサーチ オフ</option></select>\n"
        "<label><input type=checkbox name=lr value=lang_ja>日本語のページを検索</label>\n"
        "<input type=submit value=\"イメージ検索\">\n"
        "</form></center></body></html>\n");
}

std::string RenderErrorPage(int status, const std::string& message) {
    const std::string title = std::to_string(status) + " " + ReasonPhrase(status);
    return "<html><head><title>" + title + "</title></head>\n<body><h1>" + title + "</h1>\n<p>" +
           EscapeEcho(message) + "</p>\n</body></html>\n";
}

}  // namespace zb
