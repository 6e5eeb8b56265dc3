#pragma once
// The hit lists of the last few searches. A client reads a search page after page (start=0, 20,
// 40, ...), and every page needs the whole list (its length, whether more follow), so each
// search is run once and its pages are cut from the kept list.

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "service/ImageCorpus.h"
#include "service/ImageQuery.h"

namespace zb {

class HitCache {
public:
    using Hits = std::shared_ptr<const std::vector<const ImageEntry*>>;

    explicit HitCache(const ImageCorpus& corpus, std::size_t capacity = 8)
        : corpus_(corpus), capacity_(capacity) {}

    // The hits of query, the same as corpus.Search(query); they do not depend on its num, start
    // and hl, so every page of a search shares one list. Safe to call from several threads.
    Hits Find(const ImageQuery& query);

private:
    struct Entry {
        std::string Key;
        Hits List;
    };

    const ImageCorpus& corpus_;
    const std::size_t capacity_;
    std::mutex mutex_;
    std::list<Entry> recent_;  // the most recently used first
};

}  // namespace zb
