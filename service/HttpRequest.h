#pragma once
// Reading an HTTP/1.x request head as received: the request line (method, raw target, version)
// and the header lines. The target is kept byte for byte, raw CP932 included.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zb {

struct HttpRequest {
    std::string Method;
    std::string Target;   // as received: origin form (/path?query) or absolute form (http://...)
    std::string Version;  // "HTTP/1.0" or "HTTP/1.1"
    std::vector<std::pair<std::string, std::string>> Headers;

    // The value of the first header line with that name (compared without case), or "".
    std::string Header(std::string_view name) const;
};

// The largest request head the service reads.
inline constexpr std::size_t kMaxRequestHead = 64 * 1024;

// The length of the head at the start of buffer, up to and including the blank line that ends
// it (CR LF CR LF or LF LF), or npos while that line has not arrived.
std::size_t FindHeadEnd(std::string_view buffer);

// Parses a complete head. Raises EBadRequest: 400 for a malformed request line (anything but
// three parts separated by single blanks, control characters in the target) or header line,
// 505 for an HTTP version other than 1.x.
HttpRequest ParseRequestHead(std::string_view head);

// The path and query of a target, which may be in origin form or (as a proxy receives it) in
// absolute form: http://host[:port]/path?query. Raises EBadRequest (400) for any other form.
struct RequestTarget {
    std::string Path;
    std::string Query;  // the text after the first '?', empty when there is none
};
RequestTarget SplitTarget(std::string_view target);

}  // namespace zb
