#include "service/HttpRequest.h"

#include <algorithm>

#include "service/EBadRequest.h"
#include "service/ServiceText.h"

namespace zb {

namespace {

bool IsControl(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
}

bool IsTokenChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Splits the head into lines, each without its CR LF or LF.
std::vector<std::string_view> Lines(std::string_view head) {
    std::vector<std::string_view> lines;
    while (!head.empty()) {
        const std::size_t lf = head.find('\n');
        std::string_view line = head.substr(0, lf);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        if (lf == std::string_view::npos) break;
        head.remove_prefix(lf + 1);
    }
    return lines;
}

void ParseRequestLine(std::string_view line, HttpRequest& r) {
    const std::size_t sp1 = line.find(' ');
    const std::size_t sp2 = sp1 == std::string_view::npos ? sp1 : line.find(' ', sp1 + 1);
    if (sp2 == std::string_view::npos || line.find(' ', sp2 + 1) != std::string_view::npos) {
        throw EBadRequest(400, "the request line is not: method, target, version");
    }
    r.Method = line.substr(0, sp1);
    r.Target = line.substr(sp1 + 1, sp2 - sp1 - 1);
    r.Version = line.substr(sp2 + 1);
    if (r.Method.empty() || !std::all_of(r.Method.begin(), r.Method.end(), IsTokenChar)) {
        throw EBadRequest(400, "the request method is not valid");
    }
    if (r.Target.empty() || std::any_of(r.Target.begin(), r.Target.end(), IsControl)) {
        throw EBadRequest(400, "the request target is empty or holds control characters");
    }
    if (!r.Version.starts_with("HTTP/")) throw EBadRequest(400, "the HTTP version is missing");
    if (r.Version != "HTTP/1.0" && r.Version != "HTTP/1.1") {
        throw EBadRequest(505, "only HTTP/1.0 and HTTP/1.1 are served");
    }
}

}  // namespace

std::string HttpRequest::Header(std::string_view name) const {
    const std::string wanted = FoldAsciiCase(name);
    for (const auto& [n, v] : Headers) {
        if (FoldAsciiCase(n) == wanted) return v;
    }
    return "";
}

std::size_t FindHeadEnd(std::string_view buffer) {
    for (std::size_t i = buffer.find('\n'); i != std::string_view::npos;
         i = buffer.find('\n', i + 1)) {
        if (i + 1 < buffer.size() && buffer[i + 1] == '\n') return i + 2;
        if (i + 2 < buffer.size() && buffer[i + 1] == '\r' && buffer[i + 2] == '\n') return i + 3;
    }
    return std::string_view::npos;
}

HttpRequest ParseRequestHead(std::string_view head) {
    std::vector<std::string_view> lines = Lines(head);
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    if (lines.empty()) throw EBadRequest(400, "the request is empty");
    HttpRequest r;
    ParseRequestLine(lines.front(), r);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.starts_with(' ') || line.starts_with('\t')) {
            // A folded line continues the value above it.
            if (r.Headers.empty()) throw EBadRequest(400, "the first header line is folded");
            r.Headers.back().second += " " + std::string(Trim(line));
            continue;
        }
        const std::size_t colon = line.find(':');
        const std::string_view name = line.substr(0, colon);
        if (colon == std::string_view::npos || name.empty() ||
            !std::all_of(name.begin(), name.end(), IsTokenChar)) {
            throw EBadRequest(400, "a header line is not: name, colon, value");
        }
        r.Headers.emplace_back(name, Trim(line.substr(colon + 1)));
    }
    return r;
}

RequestTarget SplitTarget(std::string_view target) {
    if (FoldAsciiCase(target.substr(0, 7)) == "http://") {
        // Absolute form: drop scheme and authority; an empty path is "/".
        const std::string_view rest = target.substr(7);
        const std::size_t pathStart = rest.find_first_of("/?");
        if (pathStart == 0) throw EBadRequest(400, "the request target names no host");
        target =
            pathStart == std::string_view::npos ? std::string_view("/") : rest.substr(pathStart);
        if (target.starts_with('?')) return {"/", std::string(target.substr(1))};
    }
    if (!target.starts_with('/')) {
        throw EBadRequest(400, "the request target is neither a path nor an http:// address");
    }
    const std::size_t question = target.find('?');
    if (question == std::string_view::npos) return {std::string(target), ""};
    return {std::string(target.substr(0, question)), std::string(target.substr(question + 1))};
}

}  // namespace zb
