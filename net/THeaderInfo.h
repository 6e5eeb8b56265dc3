#pragma once
// Values for the optional request header lines; an empty value sends no line.

#include <string>

namespace zb {

struct THeaderInfo {
    std::string LocalMailAddress;  // "From"
    std::string LocalProgram;      // "User-Agent"
    std::string Cookie;            // "Cookie"
    std::string Referer;           // "Referer"
    std::string UserId;            // with Password: "Authorization: Basic ..."
    std::string Password;
};

}  // namespace zb
