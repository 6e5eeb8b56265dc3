#pragma once
// The service's pages other than results: the start page and error pages (CP932 HTML).

#include <string>

namespace zb {

// A search form that sends its words to /images.
std::string RenderHomePage();

// A short page naming the status and, escaped, the reason.
std::string RenderErrorPage(int status, const std::string& message);

}  // namespace zb
