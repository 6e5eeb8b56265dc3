#include "DownloadArchive.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "common/Exception.h"

namespace zb {

namespace {

bool LooksLikeAddress(const std::string& line) {
    return line.rfind("http://", 0) == 0 || line.rfind("https://", 0) == 0;
}

}  // namespace

DownloadArchive::~DownloadArchive() {
    if (FFile != nullptr) std::fclose(FFile);
}

void DownloadArchive::Open(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (in) {
        const std::string text{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        if (in.bad()) throw Exception("cannot read " + path + " (" + std::strerror(errno) + ")");
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(start, end - start);
            while (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (LooksLikeAddress(line))
                FKnown.insert(std::move(line));
            else if (line.find_first_not_of(" \t") != std::string::npos)
                ++FJunk;
            start = end + 1;
        }
        FNeedsLineEnd = !text.empty() && text.back() != '\n';
    }
    FFile = std::fopen(path.c_str(), "ab");
    if (FFile == nullptr)
        throw Exception("cannot write " + path + " (" + std::strerror(errno) + ")");
}

bool DownloadArchive::Add(const std::string& address) {
    if (FFile == nullptr) return false;
    std::string line = FNeedsLineEnd ? "\n" + address + "\n" : address + "\n";
    if (std::fwrite(line.data(), 1, line.size(), FFile) != line.size() || std::fflush(FFile) != 0)
        return false;
    FNeedsLineEnd = false;
    FKnown.insert(address);
    return true;
}

}  // namespace zb
