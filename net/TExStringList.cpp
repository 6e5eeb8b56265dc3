#include "net/TExStringList.h"

#include <algorithm>

#include "common/Exception.h"
#include "common/TextCase.h"

namespace zb {

namespace {

std::string NameOf(const std::string& line) {
    const std::size_t colon = line.find(':');
    return colon == std::string::npos ? std::string() : line.substr(0, colon);
}

}  // namespace

void TExStringList::SetSorted(bool value) {
    if (value && !FSorted) {
        std::stable_sort(
            FLines.begin(), FLines.end(),
            [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    }
    FSorted = value;
}

int TExStringList::Add(const std::string& line) {
    if (!FSorted) {
        FLines.push_back(line);
        return Count() - 1;
    }
    const auto at = std::upper_bound(
        FLines.begin(), FLines.end(), line,
        [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    const int index = static_cast<int>(at - FLines.begin());
    FLines.insert(at, line);
    return index;
}

void TExStringList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) {
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    }
}

void TExStringList::Delete(int index) {
    CheckIndex(index);
    FLines.erase(FLines.begin() + index);
}

const std::string& TExStringList::operator[](int index) const {
    CheckIndex(index);
    return FLines[static_cast<std::size_t>(index)];
}

void TExStringList::Put(int index, const std::string& line) {
    if (FSorted) throw Exception("Operation not allowed on sorted list");
    CheckIndex(index);
    FLines[static_cast<std::size_t>(index)] = line;
}

std::string TExStringList::Text() const {
    std::string text;
    for (const auto& line : FLines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

int TExStringList::IndexOfName(const std::string& name) const {
    if (!FSorted) {
        for (int i = 0; i < Count(); ++i) {
            const std::string& line = FLines[static_cast<std::size_t>(i)];
            if (line.find(':') == std::string::npos) continue;
            if (CompareText(NameOf(line), name) == 0) return i;
        }
        return -1;
    }
    int low = 0;
    int high = Count() - 1;
    while (low <= high) {
        const int mid = low + (high - low) / 2;
        const int c = CompareText(NameOf(FLines[static_cast<std::size_t>(mid)]), name);
        if (c == 0) return mid;
        if (c < 0) {
            low = mid + 1;
        } else {
            high = mid - 1;
        }
    }
    return -1;
}

void TExStringList::SetValue(const std::string& name, const std::string& value) {
    int i = IndexOfName(name);
    if (!value.empty()) {
        if (i < 0) {
            if (FSorted) throw Exception("Operation not allowed on sorted list");
            FLines.emplace_back();
            i = Count() - 1;
        }
        Put(i, name + ": " + value);
    } else if (i >= 0) {
        Delete(i);
    }
}

}  // namespace zb
