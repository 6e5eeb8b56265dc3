#pragma once
// The images the service searches, in a fixed order that is also the order of the hits.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "service/ImageEntry.h"
#include "service/ImageQuery.h"
#include "service/WordIndex.h"

namespace zb {

class ImageCorpus {
public:
    // Appends an image; raises zb::Exception when its id is empty, not made of ASCII letters and
    // digits, or already taken.
    void Add(ImageEntry entry);

    const std::vector<ImageEntry>& Entries() const { return entries_; }
    std::size_t Size() const { return entries_.size(); }

    // The image with that thumbnail id, or nullptr.
    const ImageEntry* FindById(std::string_view id) const;

    // Every image that the query selects, in corpus order. A word is present when it occurs in
    // the title or in one of the keywords, on character boundaries, letters A-Z compared without
    // case. All words must be present and no excluded word; the adult filter hides adult images
    // and a language list keeps only pages in those languages. A query without any word that
    // must be present selects nothing.
    // Looks the words up in an index of the texts, so that only images that may hold them are
    // read.
    std::vector<const ImageEntry*> Search(const ImageQuery& query) const;

    // The same as Search, reading every image: the reference the index is checked against.
    std::vector<const ImageEntry*> SearchByScan(const ImageQuery& query) const;

private:
    // The title and keywords of one image, case-folded once.
    struct Folded {
        std::vector<std::string> Fields;
    };

    // The query's words, case-folded once for all images.
    struct FoldedQuery {
        std::vector<std::string> Words;
        std::vector<std::string> Excluded;
    };

    bool HasWord(const Folded& folded, const std::string& foldedWord) const;
    bool Selects(std::size_t image, const ImageQuery& query, const FoldedQuery& words) const;

    std::vector<ImageEntry> entries_;
    std::vector<Folded> folded_;
    std::unordered_map<std::string, std::size_t> byId_;
    WordIndex index_;
};

}  // namespace zb
