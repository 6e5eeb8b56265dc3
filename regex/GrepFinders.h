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
    int Hint(std::size_t& offset) const override;

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
    int Hint(std::size_t& offset) const override;

private:
    std::array<bool, 256> set_;
    int only_ = -1;  // the single byte of the set, when it has one
    bool empty_ = true;
};

// Starts of another finder, less those after which the rest of the line (from `skip` bytes on)
// lacks the bytes of a code that every match reads: for expressions whose attempts end at the
// first line end they read.
class RequiredInLineFinder : public TxtCandidateFinder {
public:
    RequiredInLineFinder(std::unique_ptr<TxtCandidateFinder> starts, std::size_t skip,
                         std::string needle);
    const char* Find(const char* from, const char* to) const override;
    std::size_t Reach() const override { return starts_->Reach(); }
    int Hint(std::size_t& offset) const override { return starts_->Hint(offset); }
    void NewFill() const override;

private:
    const char* findNeedle(const char* from, const char* to) const;

    std::unique_ptr<TxtCandidateFinder> starts_;
    std::size_t skip_;    // bytes of the start that precede what the needle is looked for in
    std::string needle_;  // the code's bytes
    // The line of the last start: [lineFrom_, lineEnd_) holds no line end, and lineEnd_ is one
    // (or, when lineOpen_, the end of the range then searched); the needle was looked for from
    // needleFrom_ on and found at needleAt_ (nullptr: not before lineEnd_).
    mutable bool lineOpen_ = false;
    mutable const char* lineFrom_ = nullptr;
    mutable const char* lineEnd_ = nullptr;
    mutable const char* needleFrom_ = nullptr;
    mutable const char* needleAt_ = nullptr;
};

// Codes that a literal search may look for as their raw bytes: the bytes read back as the same
// code, and no line-end byte is involved (line ends read as LF, CR as a trail byte reads as CR).
bool IsPlainLiteralCode(WChar_t code);

// The finder for a literal search of codes (nullptr when no fast scan is possible).
std::unique_ptr<TxtCandidateFinder> MakeLiteralFinder(const std::vector<WChar_t>& codes);

// The finder for an automaton search: the string every match must begin with, else the set of
// first bytes of the initial state's transitions (nullptr when no fast scan is worth it); when
// attempts end at line ends and a code must be read after that start, only the starts with that
// code later in their line.
std::unique_ptr<TxtCandidateFinder> MakeDFAFinder(const RE_DFAState_t* initial);

}  // namespace zb
