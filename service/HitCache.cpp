#include "service/HitCache.h"

namespace zb {

namespace {

// What selects the hits, each part preceded by its length so that no two queries share a key.
std::string SearchKey(const ImageQuery& query) {
    std::string key;
    const auto add = [&key](const std::string& part) {
        key += std::to_string(part.size()) + ':' + part;
    };
    const auto addList = [&](char tag, const std::vector<std::string>& parts) {
        key += tag + std::to_string(parts.size()) + ';';
        for (const std::string& p : parts)
            add(p);
    };
    addList('w', query.Words);
    addList('x', query.ExcludedWords);
    addList('l', query.Languages);
    key += query.SafeSearch ? "s1" : "s0";
    return key;
}

}  // namespace

HitCache::Hits HitCache::Find(const ImageQuery& query) {
    const std::string key = SearchKey(query);
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = recent_.begin(); it != recent_.end(); ++it) {
            if (it->Key == key) {
                recent_.splice(recent_.begin(), recent_, it);
                return it->List;
            }
        }
    }
    // Searched without the lock, so other requests go on meanwhile; two requests for the same
    // new search may both run it, and the later one replaces the earlier's list.
    auto hits = std::make_shared<const std::vector<const ImageEntry*>>(corpus_.Search(query));
    const std::lock_guard<std::mutex> lock(mutex_);
    recent_.remove_if([&](const Entry& e) { return e.Key == key; });
    recent_.push_front({key, hits});
    while (recent_.size() > capacity_)
        recent_.pop_back();
    return hits;
}

}  // namespace zb
