#pragma once
// A response of the service. It always speaks HTTP/1.0 and closes the connection after the body.

#include <string>
#include <utility>
#include <vector>

namespace zb {

struct HttpResponse {
    int Status = 200;
    std::string ContentType = "text/html; charset=Shift_JIS";
    std::vector<std::pair<std::string, std::string>> Headers;  // further lines, such as Location
    std::string Body;

    // Status line and header lines up to and including the blank line. Content-Length gives the
    // body's size.
    std::string Head() const;
};

// The reason phrase of a status ("OK", "Not Found", ...); "Unknown" for a code it does not know.
const char* ReasonPhrase(int status);

}  // namespace zb
