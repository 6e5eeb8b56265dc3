#include "net/HttpText.h"

namespace zb {

std::string FieldOf(const std::string& text, char separator, int n) {
    std::size_t start = 0;
    for (int field = 1;; ++field) {
        const std::size_t end = text.find(separator, start);
        if (field == n) {
            return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        }
        if (end == std::string::npos) return {};
        start = end + 1;
    }
}

std::size_t NthPos(const std::string& text, char c, int n) {
    int seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != c) continue;
        if (++seen == n) return i + 1 == text.size() ? text.size() + 1 : i + 1;
    }
    return text.size() + 1;
}

}  // namespace zb
