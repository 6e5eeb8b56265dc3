#pragma once
// A file with given bytes in the temporary folder, removed when the object goes.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace zb::test {

class TempFile {
public:
    explicit TempFile(const std::string& bytes) {
        char name[] = "/tmp/zb-test-XXXXXX";
        const int fd = mkstemp(name);
        path_ = name;
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        ::close(fd);
    }
    ~TempFile() { std::remove(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace zb::test
