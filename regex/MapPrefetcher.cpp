#include "regex/MapPrefetcher.h"

#include <sys/mman.h>

#include <algorithm>

namespace zb {

bool MapPrefetcher::Available() {
#if defined(MADV_POPULATE_READ)
    return true;
#else
    return false;
#endif
}

MapPrefetcher::MapPrefetcher(char* begin, std::size_t length)
    : begin_(begin), length_(length), thread_([this] { run(); }) {}

MapPrefetcher::~MapPrefetcher() {
    stop_.store(true);
    reached_.store(length_);
    reached_.notify_one();
    thread_.join();
}

void MapPrefetcher::Reached(std::size_t offset) {
    // Wake the thread only when it may be waiting for the reader.
    const std::size_t before = reached_.exchange(offset, std::memory_order_relaxed);
    if (offset / Chunk != before / Chunk) reached_.notify_one();
}

void MapPrefetcher::run() {
#if defined(MADV_POPULATE_READ)
    for (std::size_t done = 0; done < length_ && !stop_.load(std::memory_order_relaxed);) {
        std::size_t reached = reached_.load(std::memory_order_relaxed);
        if (done > reached + Ahead) {
            reached_.wait(reached, std::memory_order_relaxed);
            continue;
        }
        // Pages the reader has passed need no mapping ahead any more.
        done = std::max(done, reached / Chunk * Chunk);
        const std::size_t size = std::min(Chunk, length_ - done);
        // Read-only population: a private mapping keeps sharing the file's pages until written.
        if (::madvise(begin_ + done, size, MADV_POPULATE_READ) != 0) return;
        done += size;
    }
#endif
}

}  // namespace zb
