#pragma once
// Maps the pages of a file mapping ahead of a reader that goes through it from front to back, on
// a thread of its own, so the reader's time goes to reading rather than to page faults, and gives
// back the pages the reader has left well behind. It keeps at most a few megabytes ahead of the
// position the reader reports and stops at the first range it cannot map (a file cut short
// under the mapping): the reader then faults as usual. The reader must never go back to a page
// more than Chunk bytes before the last position it reported.

#include <atomic>
#include <cstddef>
#include <thread>

namespace zb {

class MapPrefetcher {
public:
    static constexpr std::size_t Chunk = std::size_t{512} << 10;  // mapped by one call
    static constexpr std::size_t Ahead = std::size_t{8} << 20;  // at most this far past the reader

    // Starts the thread; `begin` must be page-aligned and [begin, begin + length) mapped.
    MapPrefetcher(char* begin, std::size_t length);
    ~MapPrefetcher();  // stops the thread and waits for it
    MapPrefetcher(const MapPrefetcher&) = delete;
    MapPrefetcher& operator=(const MapPrefetcher&) = delete;

    // The reader has reached `offset` bytes into the range, and will not read before
    // offset - Chunk again.
    void Reached(std::size_t offset);

    // Whether this system can map pages ahead without touching them.
    static bool Available();

private:
    void run();

    char* const begin_;
    const std::size_t length_;
    std::atomic<std::size_t> reached_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace zb
