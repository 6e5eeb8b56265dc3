#pragma once
// Reads a text file in fills of 102,400 bytes and serves it to the line search as a stream of
// characters (CP932 lead bytes 0x81-0x9F and 0xE0-0xFC), with three positions: the
// base (where the current match attempt started), the read position (how far the attempt has
// read) and the line head. Every line end (CR LF, LF, lone CR) reads as one LF, NUL bytes read as
// spaces, an LF stands before the first line and after the last one. The current line is kept
// (in the carry-over text) when it spans buffer fills.
//
// A regular file is mapped (private, copy-on-write) and each fill is the next 102,400-byte window
// of the mapping, so nothing is copied; the in-place rewrites (NUL to space, lone CR to LF, the
// LF and NULs after the last fill) touch only the private copy, and the end of a fill inside the
// file is known by its position rather than by a NUL written over the next window's first byte.
// The pages of a big file's mapping are mapped ahead of the fills on a thread of its own, and
// those of fills long past are given back (nothing points into a past fill: the current line
// and the base are in the carry-over text once the buffer is filled again).
// Files that cannot be mapped (pipes, special files) are read with read() into a buffer of their
// own, and so is the rest of a file whose size is seen to change during the search. Either way
// the fills, the positions and the text are the same.

#include <cstdint>
#include <memory>
#include <string>

#include "regex/LineEnds.h"
#include "regex/MapPrefetcher.h"
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
    // The buffer was filled again since the last Find: what the finder kept about positions in
    // it no longer holds.
    virtual void NewFill() const {}
    // A byte that every candidate q holds at q + offset, or -1: the reader passes the stretches
    // of a fill without it, which its pass over the fill finds along the way.
    virtual int Hint(std::size_t& offset) const {
        offset = 0;
        return -1;
    }
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
    // Returns true when the base moved to the start of the buffer.
    bool IncPBaseNullChar(char c);
    WChar_t AdvanceBase() {
        // Inline: a character with no line end, CR, NUL or end of the fill next to it, where
        // the steps below come to the same as IncPBase once or twice.
        const char* b = base_;
        const unsigned char c = static_cast<unsigned char>(b[0]);
        if (!IsDBCSLeadByte(c)) {
            if (room(b) > 1 && isPlain(b[0]) && !stopsStep(b[1])) {
                base_ = readPos_ = base_ + 1;
                return c;
            }
        } else if (room(b) > 2 && isPlain(b[1]) && !stopsStep(b[2])) {
            base_ = readPos_ = base_ + 2;
            return static_cast<WChar_t>(c << 8 | static_cast<unsigned char>(b[1]));
        }
        return advanceBaseSlow();
    }
    char GetChar();
    // Returns true when the read position moved to the start of the buffer.
    bool GetCharNullChar(char c);
    WChar_t GetWChar() {
        // Inline: a character that is no CR or NUL and is not the last before a NUL or the end
        // of the fill.
        const char* r = readPos_;
        const unsigned char c = static_cast<unsigned char>(r[0]);
        if (!IsDBCSLeadByte(c)) {
            if (room(r) > 1 && c != '\0' && c != '\r' && r[1] != '\0') {
                readPos_ = readPos_ + 1;
                return c;
            }
        } else if (room(r) > 2 && r[1] != '\0' && r[2] != '\0') {
            readPos_ = readPos_ + 2;
            return static_cast<WChar_t>(c << 8 | static_cast<unsigned char>(r[1]));
        }
        return getWCharSlow();
    }
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

    // True while fills are windows of a mapping of the file (false: read() into a buffer).
    bool Mapped() const { return mapped_; }

private:
    // No line end, CR or NUL: a byte the base passes without any of the look-ahead work.
    static bool isPlain(char c) { return c != '\n' && c != '\r' && c != '\0'; }
    // Bytes that make the base's step do more than move: a NUL (end of a fill, or of the
    // carry-over text) or a CR (the look-ahead of IncPBase) after the character.
    static bool stopsStep(char c) { return c == '\0' || c == '\r'; }
    WChar_t advanceBaseSlow();
    WChar_t getWCharSlow();
    void BuffRead(char* dest);
    std::size_t takeWindow() const;
    std::size_t readInto(char* dest);
    bool peekNextByte();
    bool mapFile(long long size);
    bool windowStillMapped() const;
    void useReadBuffer();
    bool inCarry(const char* p) const {
        return p >= carry_.data() && p <= carry_.data() + carry_.size();
    }
    char* carryEnd() { return carry_.data() + carry_.size(); }
    char* dataEnd() const { return buf_ + byteCount_; }
    // The end of the fill's data (a NUL, except inside a mapping), the NUL that ends the
    // carry-over text, or a NUL after the data at the end of the file.
    bool atFillEnd(const char* p) const { return *p == '\0' || p == dataEnd(); }
    // Bytes from p to the end of the fill's data when p lies in the buffer; when it lies in the
    // carry-over text, some number, harmless next to the NUL that ends that text.
    std::uintptr_t room(const char* p) const {
        return reinterpret_cast<std::uintptr_t>(dataEnd()) - reinterpret_cast<std::uintptr_t>(p);
    }
    void keepLine();  // copies (or extends) the current line into the carry-over text
    void refill();    // the next fill, into the start of the buffer
    long long OffsetOf(const char* p) const;
    bool isBoundary(const char* q) const;
    std::size_t endsBefore(const char* p) const;
    std::size_t countLineEnds(const char* from, const char* to) const;
    char* pastUnhinted(char* from, char* limit, char*& to) const;
    void bulkAdvance(char* target);
    char* safeStopBefore(char* target) const;
    void advanceTo(char* target);

    static constexpr std::ptrdiff_t kWalkBack = 64;
    static constexpr long long kPrefetchFrom = 1 << 20;  // bytes

    char* buf_ = nullptr;           // the current buffer: a window of the mapping, or heap_
    std::unique_ptr<char[]> heap_;  // the buffer of fills made with read()
    char* map_ = nullptr;           // the mapping: one page, the file, a zero-filled tail
    char* mapFile_ = nullptr;       // the file's first byte in the mapping
    std::size_t mapLength_ = 0;
    long long mapSize_ = 0;     // size of the file when it was mapped
    bool mapped_ = false;       // fills are taken from the mapping
    long long readOffset_ = 0;  // file offset of the next fill
    // Maps the pages of a big file's mapping ahead of the fills and drops those long past.
    std::unique_ptr<MapPrefetcher> prefetcher_;
    std::string fileName_;
    int fd_ = -1;
    bool opened_ = false;
    bool atEnd_ = false;
    char peek_ = 0;        // a byte read ahead from a pipe, the first of the next fill
    bool peeked_ = false;  // peek_ holds that byte
    char* base_ = nullptr;
    char* lineHead_ = nullptr;
    char* readPos_ = nullptr;
    int lineCounter_ = 0;
    std::size_t bytesSkipped_ = 0;
    // Line ends counted by the last fill: ends_[k] in the bytes from endsFrom_ up to block k
    // (blocks of kLineEndBlock bytes, endsCount_ counts), valid until a byte is rewritten.
    std::unique_ptr<std::uint32_t[]> ends_;
    const char* endsFrom_ = nullptr;
    std::size_t endsCount_ = 0;
    bool endsValid_ = false;
    // The finder's hint byte (-1: none) and its offset; marks_ has bit k set for every block of
    // the fill that holds it, when the fill was scanned for it (hintValid_).
    int hint_ = -1;
    std::size_t hintOffset_ = 0;
    bool hintValid_ = false;
    std::unique_ptr<std::uint64_t[]> marks_;
    long long fills_ = 0;                         // fills made so far
    const TxtCandidateFinder* finder_ = nullptr;  // the finder last used, and
    long long finderFill_ = 0;                    // the fill it was last used in
    int byteCount_ = 0;
    std::string carry_;
    long long bufferOffset_ = -1;  // file offset of the buffer's first byte
    long long carryOffset_ = 0;    // file offset of the carry-over text's first byte
    const bool& cancel_;
};

}  // namespace zb
