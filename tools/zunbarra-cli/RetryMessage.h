#pragma once
// The line that tells a wait before a retry, for pages and thumbnails alike.

#include <string>

namespace zb {

// "HTTP 503, Retry-After 2: waiting 2 s before retry 1 of 3 (ADDRESS)"; reason says what asked
// for the retry, address is UTF-8.
std::string RetryMessage(const std::string& reason, int waitMs, int retry, int retries,
                         const std::string& address);

}  // namespace zb
