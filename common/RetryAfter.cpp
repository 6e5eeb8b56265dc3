#include "common/RetryAfter.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace zb {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// Reads the next token: a run of letters, a run of digits, or one other character; spaces skip.
class Tokens {
public:
    explicit Tokens(std::string_view text) : text_(text) {}
    std::string_view Next() {
        while (pos_ < text_.size() && text_[pos_] == ' ')
            ++pos_;
        if (pos_ >= text_.size()) return {};
        const size_t start = pos_;
        auto same = [&](char c) {
            const unsigned char first = static_cast<unsigned char>(text_[start]);
            const unsigned char ch = static_cast<unsigned char>(c);
            if (std::isalpha(first)) return std::isalpha(ch) != 0;
            if (std::isdigit(first)) return std::isdigit(ch) != 0;
            return false;
        };
        ++pos_;
        while (pos_ < text_.size() && same(text_[pos_]))
            ++pos_;
        return text_.substr(start, pos_ - start);
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

bool Number(std::string_view token, size_t minDigits, size_t maxDigits, int& value) {
    if (token.size() < minDigits || token.size() > maxDigits) return false;
    value = 0;
    for (char c : token) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

int Month(std::string_view name) {
    static constexpr std::array<std::string_view, 12> names = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (size_t i = 0; i < names.size(); ++i)
        if (name == names[i]) return static_cast<int>(i) + 1;
    return 0;
}

bool WeekDay(std::string_view name) {
    static constexpr std::array<std::string_view, 7> shortNames = {"Mon", "Tue", "Wed", "Thu",
                                                                   "Fri", "Sat", "Sun"};
    static constexpr std::array<std::string_view, 7> longNames = {
        "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
    return std::find(shortNames.begin(), shortNames.end(), name) != shortNames.end() ||
           std::find(longNames.begin(), longNames.end(), name) != longNames.end();
}

// hh:mm:ss from the token stream.
bool Time(Tokens& t, int& h, int& mi, int& s) {
    return Number(t.Next(), 2, 2, h) && t.Next() == ":" && Number(t.Next(), 2, 2, mi) &&
           t.Next() == ":" && Number(t.Next(), 2, 2, s) && h < 24 && mi < 60 && s < 61;
}

}  // namespace

std::optional<std::int64_t> ParseHttpDate(std::string_view text) {
    Tokens t(Trim(text));
    if (!WeekDay(t.Next())) return std::nullopt;
    std::string_view next = t.Next();
    int day = 0, month = 0, year = 0, h = 0, mi = 0, s = 0;
    if (next == ",") {
        const std::string_view dayText = t.Next();
        std::string_view after = t.Next();
        if (after == "-") {
            // RFC 850: Sunday, 06-Nov-94 08:49:37 GMT (two-digit years: 70..99 are 19xx)
            if (!Number(dayText, 2, 2, day) || !(month = Month(t.Next())) || t.Next() != "-" ||
                !Number(t.Next(), 2, 2, year))
                return std::nullopt;
            year += year < 70 ? 2000 : 1900;
        } else {
            // IMF-fixdate: Sun, 06 Nov 1994 08:49:37 GMT
            if (!Number(dayText, 2, 2, day) || !(month = Month(after)) ||
                !Number(t.Next(), 4, 4, year))
                return std::nullopt;
        }
        if (!Time(t, h, mi, s) || t.Next() != "GMT") return std::nullopt;
    } else {
        // asctime: Sun Nov  6 08:49:37 1994
        if (!(month = Month(next)) || !Number(t.Next(), 1, 2, day) || !Time(t, h, mi, s) ||
            !Number(t.Next(), 4, 4, year))
            return std::nullopt;
    }
    if (!t.Next().empty() || day < 1 || day > 31) return std::nullopt;
    return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400 +
           h * 3600 + mi * 60 + s;
}

int RetryWaitMs(std::string_view retryAfter, int retry, std::int64_t nowSeconds) {
    const std::string_view value = Trim(retryAfter);
    if (!value.empty() &&
        std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        // Delta-seconds; anything above the cap (however many digits) is the cap.
        std::int64_t seconds = 0;
        for (char c : value) {
            seconds = seconds * 10 + (c - '0');
            if (seconds * 1000 >= MaxRetryWaitMs) return MaxRetryWaitMs;
        }
        return static_cast<int>(seconds * 1000);
    }
    if (const auto when = ParseHttpDate(value); when && *when > nowSeconds)
        return static_cast<int>(std::min<std::int64_t>(*when - nowSeconds, 60) * 1000);
    const int shift = std::clamp(retry, 0, 6);
    return std::min(1000 << shift, MaxRetryWaitMs);
}

}  // namespace zb
