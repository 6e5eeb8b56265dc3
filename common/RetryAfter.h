#pragma once
// The wait before a retry after a 429 (Too Many Requests) or 503 (Service Unavailable) answer,
// from the answer's Retry-After header: delta-seconds or an HTTP date (IMF-fixdate, RFC 850 or
// asctime form). Without a usable value (absent, negative, garbage, a date already past) the wait
// doubles with each retry: 1 s, 2 s, 4 s... Every wait is at most 60 s.

#include <cstdint>
#include <optional>
#include <string_view>

namespace zb {

inline constexpr int MaxRetryWaitMs = 60000;

// Milliseconds to wait before retry number `retry` (0 for the first), given the header's value
// (empty when absent) and the current time in seconds since 1970-01-01 UTC.
int RetryWaitMs(std::string_view retryAfter, int retry, std::int64_t nowSeconds);

// An HTTP date as seconds since 1970-01-01 UTC; nothing when `text` is not one.
std::optional<std::int64_t> ParseHttpDate(std::string_view text);

}  // namespace zb
