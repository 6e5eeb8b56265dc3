#include "service/ImageCorpus.h"

#include <algorithm>
#include <cstdint>

#include "common/Exception.h"
#include "service/ServiceText.h"

namespace zb {

namespace {

bool IsValidId(const std::string& id) {
    return !id.empty() && std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
}

std::vector<std::string> FoldAll(const std::vector<std::string>& words) {
    std::vector<std::string> out;
    out.reserve(words.size());
    for (const std::string& w : words)
        out.push_back(FoldAsciiCase(w));
    return out;
}

}  // namespace

void ImageCorpus::Add(ImageEntry entry) {
    if (!IsValidId(entry.Id)) throw Exception("image id \"" + entry.Id + "\" is not valid");
    if (byId_.count(entry.Id) != 0) throw Exception("image id \"" + entry.Id + "\" is taken");
    Folded folded;
    folded.Fields.push_back(FoldAsciiCase(entry.Title));
    for (const std::string& k : entry.Keywords)
        folded.Fields.push_back(FoldAsciiCase(k));
    index_.Add(static_cast<std::uint32_t>(entries_.size()), folded.Fields);
    byId_.emplace(entry.Id, entries_.size());
    entries_.push_back(std::move(entry));
    folded_.push_back(std::move(folded));
}

const ImageEntry* ImageCorpus::FindById(std::string_view id) const {
    const auto it = byId_.find(std::string(id));
    return it == byId_.end() ? nullptr : &entries_[it->second];
}

bool ImageCorpus::HasWord(const Folded& folded, const std::string& foldedWord) const {
    return std::any_of(folded.Fields.begin(), folded.Fields.end(),
                       [&](const std::string& f) { return ContainsWord(f, foldedWord); });
}

bool ImageCorpus::Selects(std::size_t image, const ImageQuery& query,
                          const FoldedQuery& words) const {
    const ImageEntry& e = entries_[image];
    if (query.SafeSearch && e.Adult) return false;
    if (!query.Languages.empty() && std::find(query.Languages.begin(), query.Languages.end(),
                                              e.Language) == query.Languages.end()) {
        return false;
    }
    const Folded& f = folded_[image];
    const auto present = [&](const std::string& w) { return HasWord(f, w); };
    return std::all_of(words.Words.begin(), words.Words.end(), present) &&
           std::none_of(words.Excluded.begin(), words.Excluded.end(), present);
}

std::vector<const ImageEntry*> ImageCorpus::Search(const ImageQuery& query) const {
    std::vector<const ImageEntry*> hits;
    if (query.Words.empty()) return hits;
    const FoldedQuery words{FoldAll(query.Words), FoldAll(query.ExcludedWords)};
    for (const std::uint32_t image : index_.Candidates(words.Words)) {
        if (Selects(image, query, words)) hits.push_back(&entries_[image]);
    }
    return hits;
}

std::vector<const ImageEntry*> ImageCorpus::SearchByScan(const ImageQuery& query) const {
    std::vector<const ImageEntry*> hits;
    if (query.Words.empty()) return hits;
    const FoldedQuery words{FoldAll(query.Words), FoldAll(query.ExcludedWords)};
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (Selects(i, query, words)) hits.push_back(&entries_[i]);
    }
    return hits;
}

}  // namespace zb
