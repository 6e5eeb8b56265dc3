#include "service/WordIndex.h"

#include <algorithm>
#include <functional>

#include "service/ServiceText.h"

namespace zb {

namespace {

// A character as a number: its one or two bytes.
std::uint32_t CharCode(std::string_view text, std::size_t pos, std::size_t length) {
    const auto first = static_cast<unsigned char>(text[pos]);
    return length == 1 ? first
                       : (std::uint32_t{first} << 8) | static_cast<unsigned char>(text[pos + 1]);
}

// Single characters and pairs get keys that cannot meet: a pair fills the low 32 bits, a
// single character carries a bit above them.
constexpr std::uint64_t kSingle = std::uint64_t{1} << 32;

std::uint64_t PairKey(std::uint32_t first, std::uint32_t second) {
    return (std::uint64_t{first} << 16) | second;
}

// The elements of `from` that are also in `other`; both ascending. `other` is searched from
// the last position found, so a long list costs little more than the short one's length
// times its logarithm.
std::vector<std::uint32_t> Intersect(const std::vector<std::uint32_t>& from,
                                     const std::vector<std::uint32_t>& other) {
    std::vector<std::uint32_t> out;
    auto at = other.begin();
    for (const std::uint32_t image : from) {
        at = std::lower_bound(at, other.end(), image);
        if (at == other.end()) break;
        if (*at == image) out.push_back(image);
    }
    return out;
}

}  // namespace

void WordIndex::AppendKeys(std::string_view text, std::vector<std::uint64_t>& keys) {
    bool havePrevious = false;
    std::uint32_t previous = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = Cp932CharLength(text, pos);
        const std::uint32_t code = CharCode(text, pos, length);
        keys.push_back(kSingle | code);
        if (havePrevious) keys.push_back(PairKey(previous, code));
        previous = code;
        havePrevious = true;
        pos += length;
    }
}

void WordIndex::Add(std::uint32_t image, const std::vector<std::string>& foldedTexts) {
    scratch_.clear();
    for (const std::string& text : foldedTexts)
        AppendKeys(text, scratch_);
    for (const std::uint64_t key : scratch_) {
        // A key seen before in this image was listed then: images come in increasing order.
        std::vector<std::uint32_t>& images = postings_[key];
        if (images.empty() || images.back() != image) images.push_back(image);
    }
}

std::vector<std::uint32_t> WordIndex::Candidates(
    const std::vector<std::string>& foldedWords) const {
    std::vector<const std::vector<std::uint32_t>*> lists;
    std::vector<std::uint64_t> keys;
    for (const std::string& word : foldedWords) {
        keys.clear();
        AppendKeys(word, keys);
        // A one-character word is looked up by its character, a longer one by its pairs.
        for (const std::uint64_t key : keys) {
            if ((key & kSingle) != 0 && keys.size() > 1) continue;
            const auto it = postings_.find(key);
            if (it == postings_.end()) return {};
            lists.push_back(&it->second);
        }
    }
    if (lists.empty()) return {};
    // Shortest first (the same list twice next to itself, to be dropped).
    std::sort(lists.begin(), lists.end(), [](const auto* a, const auto* b) {
        return a->size() != b->size() ? a->size() < b->size() : std::less<>()(a, b);
    });
    lists.erase(std::unique(lists.begin(), lists.end()), lists.end());
    std::vector<std::uint32_t> found = *lists.front();
    for (std::size_t i = 1; i < lists.size() && !found.empty(); ++i)
        found = Intersect(found, *lists[i]);
    return found;
}

}  // namespace zb
