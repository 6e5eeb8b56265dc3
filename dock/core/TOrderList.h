#pragma once
// A toolbar's control order: controls in layout order, appended as they join, removed as they
// leave, movable to a clamped index.

#include <algorithm>
#include <functional>
#include <vector>

namespace zb {

template <class T>
class TOrderList {
public:
    int IndexOf(const T& item) const {
        const auto it = std::find(FItems.begin(), FItems.end(), item);
        return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
    }
    void Append(const T& item) {
        if (IndexOf(item) < 0) FItems.push_back(item);
    }
    void Remove(const T& item) { std::erase(FItems, item); }
    // Moves an item to index (clamped to 0 .. count - 1). Returns whether it moved; an item
    // that is not in the list does not move.
    bool Move(const T& item, int index) {
        const int from = IndexOf(item);
        if (from < 0) return false;
        const int to = std::clamp(index, 0, static_cast<int>(FItems.size()) - 1);
        if (to == from) return false;
        FItems.erase(FItems.begin() + from);
        FItems.insert(FItems.begin() + to, item);
        return true;
    }
    // Sorts once by a key (a stored position), keeping the order of equal keys.
    void SortBy(const std::function<int(const T&)>& key) {
        std::stable_sort(FItems.begin(), FItems.end(),
                         [&](const T& a, const T& b) { return key(a) < key(b); });
    }
    const std::vector<T>& Items() const { return FItems; }
    int Count() const { return static_cast<int>(FItems.size()); }

private:
    std::vector<T> FItems;
};

}  // namespace zb
