#include "common/Cp932.h"

#include <iconv.h>

#include <cerrno>

#include "common/Exception.h"

namespace zb {

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw Exception(std::string("character conversion ") + from + " to " + to +
                            " is not available");
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as it can; returns false at the first byte it cannot take, with in/left
    // pointing there.
    bool run(const char*& in, std::size_t& left, std::string& out) {
        char buf[4096];
        while (left > 0) {
            char* o = buf;
            std::size_t room = sizeof buf;
            const std::size_t r = iconv(cd_, const_cast<char**>(&in), &left, &o, &room);
            out.append(buf, static_cast<std::size_t>(o - buf));
            if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
                return false;
            }
        }
        return true;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) {
    Converter conv("CP932", "UTF-8");
    std::string out;
    const char* in = utf8.data();
    std::size_t left = utf8.size();
    if (!conv.run(in, left, out)) {
        throw Exception("cannot convert to CP932 at byte " +
                        std::to_string(utf8.size() - left + 1) + " of \"" + std::string(utf8) +
                        "\"");
    }
    return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
    Converter conv("UTF-8", "CP932");
    std::string out;
    const char* in = cp932.data();
    std::size_t left = cp932.size();
    while (!conv.run(in, left, out)) {
        out += "\xEF\xBF\xBD";
        ++in;
        --left;
    }
    return out;
}

}  // namespace zb
