#include "PageScan.h"

namespace zb::test {

std::vector<std::string> PageLines(const std::string& page) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < page.size()) {
        std::size_t lf = page.find('\n', from);
        if (lf == std::string::npos) lf = page.size();
        std::string line = page.substr(from, lf - from);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        from = lf + 1;
    }
    return lines;
}

PageScan ScanPage(const std::string& page) {
    PageScan scan;
    for (const std::string& line : PageLines(page)) {
        if (line.find("src=/images?q") == std::string::npos) continue;
        ++scan.LinkLines;
        if (scan.Broken) continue;
        const std::size_t start = line.find("src=") + 4;
        std::size_t end = std::min(line.find(" width", start), line.find("src=", start));
        if (end == std::string::npos) end = line.size();
        if (end == start) {
            scan.Broken = true;
            continue;
        }
        scan.Paths.push_back(line.substr(start, end - start));
    }
    for (const std::string& line : PageLines(page)) {
        for (std::size_t at = line.find("nav_next"); at != std::string::npos;
             at = line.find("nav_next", at + 1)) {
            if (at + 12 <= line.size() && line.compare(at + 9, 3, "gif") == 0)
                scan.NextMarker = true;
        }
    }
    return scan;
}

}  // namespace zb::test
