#pragma once
// An index of the characters in the texts of the corpus images, to find the few images a word
// can occur in without reading them all.
//
// For each image it records every character and every pair of adjacent characters that stand
// on character boundaries in one of its (case-folded) texts. Where a word occurs on character
// boundaries, the text's characters over the match are exactly the word's characters, so the
// image holds each of the word's character pairs (a one-character word: that character). The
// images listed under all those keys are therefore a superset of the images holding the word;
// for a word of one or two characters they are exactly those images.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zb {

class WordIndex {
public:
    // Records the texts of image number `image`. Images are added in increasing order.
    void Add(std::uint32_t image, const std::vector<std::string>& foldedTexts);

    // The images, in increasing order, that may hold every one of the (folded, non-empty)
    // words: every image that holds them all is listed, and perhaps some others.
    std::vector<std::uint32_t> Candidates(const std::vector<std::string>& foldedWords) const;

private:
    // Appends the keys of text (characters and character pairs on boundaries) to keys.
    static void AppendKeys(std::string_view text, std::vector<std::uint64_t>& keys);

    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> postings_;
    std::vector<std::uint64_t> scratch_;  // the keys of the image being added
};

}  // namespace zb
