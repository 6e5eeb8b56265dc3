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
    std::size_t mapped = 0;   // the pages before this are mapped, or the reader has passed them
    std::size_t dropped = 0;  // the pages before this are given back
    while (mapped < length_ && !stop_.load(std::memory_order_relaxed)) {
        const std::size_t reached = reached_.load(std::memory_order_relaxed);
        // The reader never goes back more than its current window: pages a chunk behind that
        // are given back (written ones included), so memory stays small however big the file.
        const std::size_t behind = reached / Chunk * Chunk;
        if (behind >= dropped + 2 * Chunk) {
            ::madvise(begin_ + dropped, behind - Chunk - dropped, MADV_DONTNEED);
            dropped = behind - Chunk;
        }
        if (mapped > reached + Ahead) {
            reached_.wait(reached, std::memory_order_relaxed);
            continue;
        }
        mapped = std::max(mapped, behind);
        const std::size_t size = std::min(Chunk, length_ - mapped);
        // Read-only population: a private mapping keeps sharing the file's pages until written.
        if (::madvise(begin_ + mapped, size, MADV_POPULATE_READ) != 0) return;
        mapped += size;
    }
#endif
}

}  // namespace zb
