#pragma once
// Reads a result page the way the search session relies on it: each line containing
// "src=/images?q" yields the text after its first "src=" up to " width" (or the next "src=", or
// the line's end); a line where that text is empty breaks the scan there; a line holding
// "nav_next", any one character and "gif" is the next-page marker.

#include <string>
#include <vector>

namespace zb::test {

struct PageScan {
    std::vector<std::string> Paths;  // in page order, up to a broken line
    bool NextMarker = false;
    bool Broken = false;        // a link line had nothing between two src=
    std::size_t LinkLines = 0;  // lines that hold "src=/images?q"
};

PageScan ScanPage(const std::string& page);

// The lines of a page, without their line ends.
std::vector<std::string> PageLines(const std::string& page);

}  // namespace zb::test
