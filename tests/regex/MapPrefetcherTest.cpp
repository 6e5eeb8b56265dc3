// Pages of a file mapping are mapped ahead of the reader, never further than the set distance,
// without the test touching them, and given back once the reader is well past them.

#include "regex/MapPrefetcher.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include "TempFile.h"

namespace zb {
namespace {

// Bytes of [begin, begin + length) whose pages are present in this process's page table.
std::size_t presentBytes(const char* begin, std::size_t length) {
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const int fd = ::open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    std::size_t present = 0;
    for (std::size_t at = 0; at < length; at += page) {
        std::uint64_t entry = 0;
        const off_t where =
            static_cast<off_t>(reinterpret_cast<std::uintptr_t>(begin + at) / page * sizeof entry);
        if (::pread(fd, &entry, sizeof entry, where) == sizeof entry && (entry >> 63) != 0)
            present += page;
    }
    ::close(fd);
    return present;
}

// Polls until `done(present bytes)` holds or ten seconds pass; returns what is present then.
template <typename Done>
std::size_t awaitPresent(const char* begin, std::size_t length, Done done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::size_t now = presentBytes(begin, length);
    while (!done(now) && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        now = presentBytes(begin, length);
    }
    return now;
}

TEST(MapPrefetcher, MapsPagesAheadOfTheReaderNoFurtherAndDropsThoseFarBehind) {
    if (!MapPrefetcher::Available()) GTEST_SKIP() << "no read-only page population here";
    const std::size_t length = 3 * MapPrefetcher::Ahead;
    test::TempFile file(std::string(length, 'x'));
    const int fd = ::open(file.path().c_str(), O_RDONLY | O_CLOEXEC);
    char* map =
        static_cast<char*>(::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0));
    ::close(fd);
    ASSERT_NE(map, MAP_FAILED);
    ASSERT_EQ(presentBytes(map, length), 0u);
    {
        MapPrefetcher prefetcher(map, length);
        // The kernel may map a file's pages in units of up to 2 MB.
        const std::size_t limit = MapPrefetcher::Ahead + MapPrefetcher::Chunk + (2 << 20);
        const std::size_t ahead = MapPrefetcher::Ahead;
        EXPECT_GE(awaitPresent(map, length, [&](std::size_t n) { return n >= ahead; }), ahead);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_LE(presentBytes(map, length), limit);
        // The reader jumps on: the rest of the mapping comes next, and what lies more than a
        // chunk behind it is given back.
        const std::size_t rest = length - ahead;
        prefetcher.Reached(rest);
        EXPECT_EQ(awaitPresent(map + rest, ahead, [&](std::size_t n) { return n == ahead; }),
                  ahead);
        const std::size_t behind = rest - MapPrefetcher::Chunk;
        EXPECT_EQ(awaitPresent(map, behind, [](std::size_t n) { return n == 0; }), 0u);
    }
    ::munmap(map, length);
}

}  // namespace
}  // namespace zb
