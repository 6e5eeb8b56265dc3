#pragma once
// Reads a text file through a fixed 102,400-byte buffer and serves it to the line search as a
// stream of characters (CP932 lead bytes 0x81-0x9F and 0xE0-0xFC), with three positions: the
// base (where the current match attempt started), the read position (how far the attempt has
// read) and the line head. Every line end (CR LF, LF, lone CR) reads as one LF, NUL bytes read as
// spaces, an LF stands before the first line and after the last one. The current line is kept
// (in the carry-over text) when it spans buffer fills.

#include <memory>
#include <string>

#include "regex/WChar.h"

namespace zb {

// A matching line: its text without the line end, and its number (from 1).
struct RE_LineInfo_t {
    std::string Line;
    int LineNo = 0;
};

// Where a match attempt may begin: Find returns the first candidate position in [from, to), or
// nullptr. Positions it passes over must be positions where an attempt fails, reading at most
// Reach bytes (the bytes it reads included) from where it starts.
class TxtCandidateFinder {
public:
    virtual ~TxtCandidateFinder() = default;
    virtual const char* Find(const char* from, const char* to) const = 0;
    virtual std::size_t Reach() const = 0;
};

class TTxtFile {
public:
    static constexpr int BufferSize = 102'400;
    static constexpr int Slack = 100;

    // Opens the file (EFileNotFound when it cannot) and makes the first fill (EEndOfFile when the
    // file is empty). Cancel is read after every fill and at every GetThisLine.
    TTxtFile(const std::string& FileName, const bool& Cancel);
    ~TTxtFile();
    TTxtFile(const TTxtFile&) = delete;
    TTxtFile& operator=(const TTxtFile&) = delete;

    char IncPBase();
    void IncPBaseNullChar(char c);
    WChar_t AdvanceBase();
    char GetChar();
    // Returns true when the read position moved to the start of the buffer.
    bool GetCharNullChar(char c);
    WChar_t GetWChar();
    RE_LineInfo_t GetThisLine();

    // Moves the base forward over every position where, by the finder, no match attempt can
    // succeed, exactly as that many AdvanceBase calls would (line count, line head), staying
    // within the current buffer fill. Returns without moving when it cannot do so safely.
    void SkipToCandidate(const TxtCandidateFinder& finder);

    // File offsets of the read position and the base (-1 is the LF before the first line).
    long long ReadOffset() const { return OffsetOf(readPos_); }
    long long BaseOffset() const { return OffsetOf(base_); }

    // Bytes the base passed in bulk by SkipToCandidate (for statistics and tests).
    std::size_t BytesSkipped() const { return bytesSkipped_; }

private:
    void BuffRead(char* dest);
    bool inCarry(const char* p) const {
        return p >= carry_.data() && p <= carry_.data() + carry_.size();
    }
    char* carryEnd() { return carry_.data() + carry_.size(); }
    char* dataEnd() { return buffer_.get() + byteCount_; }
    void keepLine();  // copies (or extends) the current line into the carry-over text
    void refill();    // the next fill, into the start of the buffer
    long long OffsetOf(const char* p) const;
    bool isBoundary(const char* q) const;
    void bulkAdvance(char* target);
    char* safeStopBefore(char* target) const;
    void advanceTo(char* target);

    static constexpr std::ptrdiff_t kWalkBack = 64;

    std::unique_ptr<char[]> buffer_;
    std::string fileName_;
    int fd_ = -1;
    bool opened_ = false;
    bool atEnd_ = false;
    char* base_ = nullptr;
    char* lineHead_ = nullptr;
    char* readPos_ = nullptr;
    int lineCounter_ = 0;
    std::size_t bytesSkipped_ = 0;
    int byteCount_ = 0;
    std::string carry_;
    long long bufferOffset_ = -1;  // file offset of the buffer's first byte
    long long carryOffset_ = 0;    // file offset of the carry-over text's first byte
    const bool& cancel_;
};

}  // namespace zb
