#pragma once
// Candidate finders for the line search: where, in raw buffer bytes, a match attempt can begin.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "regex/TRE_DFA.h"
#include "regex/TTxtFile.h"

namespace zb {

// Positions where a fixed byte string begins.
class LiteralFinder : public TxtCandidateFinder {
public:
    explicit LiteralFinder(std::string bytes);
    const char* Find(const char* from, const char* to) const override;
    std::size_t Reach() const override { return bytes_.size() + 2; }

private:
    std::string bytes_;
    std::size_t rare_ = 0;  // index of the byte searched for first
};

// Positions whose byte is in a set.
class ByteSetFinder : public TxtCandidateFinder {
public:
    explicit ByteSetFinder(const std::array<bool, 256>& set);
    const char* Find(const char* from, const char* to) const override;
    std::size_t Reach() const override { return 3; }

private:
    std::array<bool, 256> set_;
    int only_ = -1;  // the single byte of the set, when it has one
    bool empty_ = true;
};

// Codes that a literal search may look for as their raw bytes: the bytes read back as the same
// code, and no line-end byte is involved (line ends read as LF, CR as a trail byte reads as CR).
bool IsPlainLiteralCode(WChar_t code);

// The finder for a literal search of codes (nullptr when no fast scan is possible).
std::unique_ptr<TxtCandidateFinder> MakeLiteralFinder(const std::vector<WChar_t>& codes);

// The finder for an automaton search: the string every match must begin with, else the set of
// first bytes of the initial state's transitions (nullptr when no fast scan is worth it).
std::unique_ptr<TxtCandidateFinder> MakeDFAFinder(const RE_DFAState_t* initial);

}  // namespace zb
