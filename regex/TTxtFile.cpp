#include "regex/TTxtFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "regex/GrepErrors.h"
#include "regex/LineEnds.h"
#include "regex/ProcessMessages.h"

namespace zb {

namespace {

bool isLead(char c) {
    return IsDBCSLeadByte(static_cast<unsigned char>(c));
}

}  // namespace

TTxtFile::TTxtFile(const std::string& FileName, const bool& Cancel)
    : fileName_(FileName), cancel_(Cancel) {
    fd_ = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw EFileNotFound(std::strerror(errno));
    struct stat st {};
    const bool statted = ::fstat(fd_, &st) == 0;
    if (statted && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw EFileNotFound(std::strerror(EISDIR));
    }
    opened_ = true;
    try {
        constexpr std::size_t blocks = BufferSize / kLineEndBlock + 2;
        ends_.reset(new std::uint32_t[blocks]);
        marks_.reset(new std::uint64_t[(blocks + 63) / 64]);
        // A regular file that reports no size may still have contents (/proc): read it.
        if (!(statted && S_ISREG(st.st_mode) && st.st_size > 0 && mapFile(st.st_size))) {
            useReadBuffer();
        }
        buf_[0] = '\n';
        BuffRead(buf_ + 1);
    } catch (...) {
        prefetcher_.reset();
        if (map_ != nullptr) ::munmap(map_, mapLength_);
        ::close(fd_);
        throw;
    }
    byteCount_ += 1;
    base_ = lineHead_ = readPos_ = buf_;
}

TTxtFile::~TTxtFile() {
    prefetcher_.reset();
    if (map_ != nullptr) ::munmap(map_, mapLength_);
    if (opened_ && fd_ >= 0) ::close(fd_);
}

bool TTxtFile::mapFile(long long size) {
    // One page in front holds the LF before the first line; the zero-filled pages after the
    // file take the sentinels after the last fill.
    const long long page = ::sysconf(_SC_PAGESIZE);
    const long long fileLength = (size + page - 1) / page * page;
    const long long length = page + fileLength + (Slack + page - 1) / page * page;
    if (length <= 0 || static_cast<unsigned long long>(length) > SIZE_MAX) return false;
    void* area = ::mmap(nullptr, static_cast<std::size_t>(length), PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (area == MAP_FAILED) return false;
    char* file = static_cast<char*>(area) + page;
    if (::mmap(file, static_cast<std::size_t>(size), PROT_READ | PROT_WRITE,
               MAP_PRIVATE | MAP_FIXED, fd_, 0) == MAP_FAILED) {
        ::munmap(area, static_cast<std::size_t>(length));
        return false;
    }
    map_ = static_cast<char*>(area);
    mapFile_ = file;
    mapLength_ = static_cast<std::size_t>(length);
    mapSize_ = size;
    mapped_ = true;
    buf_ = file - 1;
    // Page faults cost about as much as the search itself: a big file has its pages mapped
    // ahead on another thread (when one can be started: the search does not need it).
    if (size >= kPrefetchFrom && MapPrefetcher::Available()) {
        try {
            prefetcher_ = std::make_unique<MapPrefetcher>(file, static_cast<std::size_t>(size));
        } catch (const std::system_error&) {
        }
    }
    return true;
}

bool TTxtFile::windowStillMapped() const {
    // Where the file no longer reaches, reading the mapping would raise SIGBUS; a file that grew
    // has more to read than the mapping holds.
    struct stat st {};
    return ::fstat(fd_, &st) == 0 && st.st_size == mapSize_;
}

void TTxtFile::useReadBuffer() {
    mapped_ = false;
    heap_.reset(new char[BufferSize + Slack]());
    buf_ = heap_.get();
}

std::size_t TTxtFile::takeWindow() const {
    const long long left = mapSize_ - readOffset_;
    return static_cast<std::size_t>(std::max(0LL, std::min<long long>(BufferSize, left)));
}

std::size_t TTxtFile::readInto(char* dest) {
    std::size_t got = 0;
    if (peeked_) {
        dest[got++] = peek_;
        peeked_ = false;
    }
    while (got < static_cast<std::size_t>(BufferSize)) {
        const ssize_t r = ::read(fd_, dest + got, BufferSize - got);
        if (r < 0) {
            if (errno == EINTR) continue;
            throw EInOutError(std::strerror(errno));
        }
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    return got;
}

bool TTxtFile::peekNextByte() {
    // A pipe has no size: after a full fill, one byte read ahead tells whether that fill ended
    // the data, so the last line still gets its closing LF. The byte opens the next fill.
    for (;;) {
        const ssize_t r = ::read(fd_, &peek_, 1);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) throw EInOutError(std::strerror(errno));
        peeked_ = r == 1;
        return peeked_;
    }
}

void TTxtFile::BuffRead(char* dest) {
    const std::size_t got = mapped_ ? takeWindow() : readInto(dest);
    readOffset_ += static_cast<long long>(got);
    byteCount_ = static_cast<int>(got);
    if (got == 0) throw EEndOfFile();
    ++fills_;
    struct stat st {};
    if (mapped_) {
        atEnd_ = readOffset_ >= mapSize_;
    } else {
        const off_t offset = ::lseek(fd_, 0, SEEK_CUR);
        atEnd_ = got < static_cast<std::size_t>(BufferSize) ||
                 (::fstat(fd_, &st) == 0 && offset >= st.st_size);
        if (!atEnd_ && !S_ISREG(st.st_mode)) atEnd_ = !peekNextByte();
    }
    if (atEnd_) {
        if (dest[got - 1] == '\n') {
            dest[got] = dest[got + 1] = '\0';
        } else {
            dest[got] = '\n';
            dest[got + 1] = dest[got + 2] = '\0';
            ++byteCount_;
        }
    } else if (!mapped_) {
        // In a mapping the byte after the fill is the next window's first byte, which stays as
        // it is (writing there would copy its page): atFillEnd knows the end by its position.
        dest[got] = '\0';
    }
    // A NUL of the file reads as a space wherever a position meets it; converting the whole
    // fill at once gives the same text and keeps NUL for the buffer's own sentinels. The same
    // pass counts the line ends, for the bulk moves of the base.
    endsFrom_ = dest;
    endsCount_ =
        ScanFill(dest, dest + byteCount_, ends_.get(), hint_ < 0 ? 0 : hint_, marks_.get());
    endsValid_ = true;
    hintValid_ = hint_ >= 0;
    ProcessMessages();
    if (cancel_) throw EGrepCancel();
}

void TTxtFile::refill() {
    const long long next = bufferOffset_ + byteCount_;
    if (mapped_) {
        // A file whose size changed since it was mapped is read from here on, as it is now.
        if (!windowStillMapped()) {
            prefetcher_.reset();
            useReadBuffer();
            if (::lseek(fd_, readOffset_, SEEK_SET) < 0) throw EInOutError(std::strerror(errno));
        } else {
            buf_ = mapFile_ + readOffset_;
            if (prefetcher_) prefetcher_->Reached(static_cast<std::size_t>(readOffset_));
        }
    }
    BuffRead(buf_);
    bufferOffset_ = next;
}

long long TTxtFile::OffsetOf(const char* p) const {
    if (inCarry(p)) return carryOffset_ + (p - carry_.data());
    return bufferOffset_ + (p - buf_);
}

void TTxtFile::keepLine() {
    if (inCarry(lineHead_)) {
        const std::size_t head = static_cast<std::size_t>(lineHead_ - carry_.data());
        carry_.append(buf_, static_cast<std::size_t>(byteCount_));
        lineHead_ = carry_.data() + head;
    } else {
        carryOffset_ = OffsetOf(lineHead_);
        carry_.assign(lineHead_, static_cast<std::size_t>(dataEnd() - lineHead_));
        lineHead_ = carry_.data();
    }
}

char TTxtFile::IncPBase() {
    const char c = *base_++;
    if (atFillEnd(base_)) IncPBaseNullChar(c);
    if (c == '\n') {
        if (!inCarry(base_)) carry_.clear();
        lineHead_ = base_;
        ++lineCounter_;
    }
    if (*base_ == '\r') {
        char* cr = base_++;
        const bool moved = atFillEnd(base_) && IncPBaseNullChar('\r');
        if (*base_ != '\n') {
            // A lone CR is a line end: it becomes the LF the base stands on. When it was the
            // last byte of the previous fill, it is the last character of the carry-over text.
            base_ = moved ? carryEnd() - 1 : cr;
            *base_ = '\n';
            endsValid_ = false;
        }
    }
    readPos_ = base_;
    return c;
}

bool TTxtFile::IncPBaseNullChar(char c) {
    if (!carry_.empty() && base_ == carryEnd()) {
        base_ = buf_;
        return true;
    }
    if (!inCarry(base_) && base_ < dataEnd()) {
        *base_ = ' ';
        endsValid_ = false;
        return false;
    }
    if (atEnd_) {
        if (c == '\0') --base_;
        throw EEndOfFile();
    }
    keepLine();
    refill();
    base_ = buf_;
    return true;
}

WChar_t TTxtFile::advanceBaseSlow() {
    const char c = IncPBase();
    WChar_t code = static_cast<unsigned char>(c);
    if (isLead(c)) {
        const char trail = IncPBase();
        code = static_cast<WChar_t>(code << 8 | static_cast<unsigned char>(trail));
    }
    readPos_ = base_;
    return code;
}

char TTxtFile::GetChar() {
    char* at = readPos_;
    const char c = *readPos_++;
    bool moved = false;
    if (atFillEnd(readPos_)) moved = GetCharNullChar(c);
    if (c == '\r') {
        if (*readPos_ == '\n') {
            ++readPos_;
            if (atFillEnd(readPos_)) GetCharNullChar('\n');
        } else if (moved) {
            carry_.back() = '\n';
        } else {
            *at = '\n';
            endsValid_ = false;
        }
        return '\n';
    }
    return c;
}

bool TTxtFile::GetCharNullChar(char c) {
    if (!carry_.empty() && readPos_ == carryEnd()) {
        readPos_ = buf_;
        return true;
    }
    if (!inCarry(readPos_) && readPos_ < dataEnd()) {
        *readPos_ = ' ';
        endsValid_ = false;
        return false;
    }
    if (atEnd_) {
        if (c == '\0') --readPos_;
        return false;
    }
    // Refill, keeping the current line and the base.
    if (inCarry(lineHead_)) {
        const std::size_t head = static_cast<std::size_t>(lineHead_ - carry_.data());
        const std::size_t base = inCarry(base_)
                                     ? static_cast<std::size_t>(base_ - carry_.data())
                                     : carry_.size() + static_cast<std::size_t>(base_ - buf_);
        carry_.append(buf_, static_cast<std::size_t>(byteCount_));
        lineHead_ = carry_.data() + head;
        base_ = carry_.data() + base;
    } else {
        const std::size_t base = static_cast<std::size_t>(base_ - lineHead_);
        carryOffset_ = OffsetOf(lineHead_);
        carry_.assign(lineHead_, static_cast<std::size_t>(dataEnd() - lineHead_));
        lineHead_ = carry_.data();
        base_ = carry_.data() + base;
    }
    refill();
    readPos_ = buf_;
    return true;
}

WChar_t TTxtFile::getWCharSlow() {
    const char c = GetChar();
    if (!isLead(c)) return static_cast<unsigned char>(c);
    const char trail = *readPos_++;
    if (atFillEnd(readPos_)) GetCharNullChar(trail);
    return static_cast<WChar_t>(static_cast<unsigned char>(c) << 8 |
                                static_cast<unsigned char>(trail));
}

RE_LineInfo_t TTxtFile::GetThisLine() {
    ProcessMessages();
    if (cancel_) throw EGrepCancel();
    while (*base_ != '\n') {
        // Steps onto bytes that are no line end, CR or NUL only move the base: jump to the last
        // such byte before the next one that is, and take that one the plain way.
        char* const end = inCarry(base_) ? carryEnd() : dataEnd();
        char* const q = const_cast<char*>(FindLineEndOrNul(std::min(base_ + 1, end), end));
        if (q - 1 > base_) base_ = q - 1;
        IncPBase();
    }
    RE_LineInfo_t info;
    if (inCarry(lineHead_)) {
        if (inCarry(base_)) {
            info.Line.assign(lineHead_, static_cast<std::size_t>(base_ - lineHead_));
        } else {
            info.Line.assign(lineHead_, static_cast<std::size_t>(carryEnd() - lineHead_));
            info.Line.append(buf_, static_cast<std::size_t>(base_ - buf_));
        }
    } else {
        info.Line.assign(lineHead_, static_cast<std::size_t>(base_ - lineHead_));
    }
    while (!info.Line.empty() && (info.Line.back() == '\r' || info.Line.back() == '\n')) {
        info.Line.pop_back();
    }
    info.LineNo = lineCounter_;
    return info;
}

bool TTxtFile::isBoundary(const char* q) const {
    // Walk back over the run of lead-range bytes before q (stopping at the base, a known
    // boundary): q starts a character when the run has even length.
    std::size_t run = 0;
    for (const char* p = q; p > base_ && isLead(p[-1]); --p)
        ++run;
    return run % 2 == 0;
}

std::size_t TTxtFile::endsBefore(const char* p) const {
    const std::size_t k =
        std::min(static_cast<std::size_t>(p - endsFrom_) / kLineEndBlock, endsCount_ - 1);
    return ends_[k] + CountLineEnds(endsFrom_ + k * kLineEndBlock, p);
}

std::size_t TTxtFile::countLineEnds(const char* from, const char* to) const {
    // A long stretch of the buffer from the counts of the fill, while no byte was rewritten
    // since (a rewritten lone CR can change whether the CR before it ends a line).
    if (endsValid_ && from >= endsFrom_ &&
        static_cast<std::size_t>(to - from) >= 4 * kLineEndBlock) {
        return endsBefore(to) - endsBefore(from);
    }
    return CountLineEnds(from, to);
}

char* TTxtFile::pastUnhinted(char* from, char* limit, char*& to) const {
    // A candidate q holds the hint byte at q + hintOffset_: none begins where that position lies
    // in a block without it (the byte is never one that a rewrite of the buffer writes). From
    // the first block with it on, `to` ends the run of such blocks.
    to = limit;
    if (!hintValid_ || from + hintOffset_ < endsFrom_) return from;
    auto marked = [&](std::size_t k) { return (marks_[k / 64] >> (k % 64) & 1) != 0; };
    const std::size_t first =
        static_cast<std::size_t>(from + hintOffset_ - endsFrom_) / kLineEndBlock;
    std::size_t k = first;
    while (k < endsCount_) {
        const std::uint64_t rest = marks_[k / 64] >> (k % 64);
        if (rest != 0) {
            k += static_cast<std::size_t>(__builtin_ctzll(rest));
            break;
        }
        k = (k / 64 + 1) * 64;
    }
    if (k >= endsCount_) return limit;
    std::size_t end = k + 1;
    while (end < endsCount_ && marked(end))
        ++end;
    char* const blocks = const_cast<char*>(endsFrom_) - hintOffset_;
    if (end < endsCount_) to = std::min(limit, blocks + end * kLineEndBlock);
    return k == first ? from : std::min(std::max(from, blocks + k * kLineEndBlock), limit);
}

void TTxtFile::bulkAdvance(char* target) {
    if (target <= base_) return;
    // The counts and the last line end agree unless the file changed under a mapping; the line
    // head is moved only onto a line end that is there.
    if (const char* head = AfterLastLineEnd(base_, target)) {
        lineHead_ = const_cast<char*>(head);
        lineCounter_ += static_cast<int>(countLineEnds(base_, target));
        carry_.clear();
    }
    bytesSkipped_ += static_cast<std::size_t>(target - base_);
    base_ = readPos_ = target;
}

char* TTxtFile::safeStopBefore(char* target) const {
    // A position whose previous byte is plain (no lead-range byte, no line-end byte) and which
    // is no line-end byte itself starts a character and needs no look-ahead of the base.
    auto plain = [](char c) { return !isLead(c) && c != '\r' && c != '\n'; };
    for (char* t = target; t > base_ && target - t <= kWalkBack; --t) {
        if (plain(t[-1]) && *t != '\r' && *t != '\n') return t;
    }
    return nullptr;
}

void TTxtFile::advanceTo(char* target) {
    // Moves the base to the last character boundary at or before target. Every position passed
    // must be one where no match attempt can succeed.
    if (char* safe = safeStopBefore(target)) {
        bulkAdvance(safe);
        return;
    }
    // A long run of lead-range bytes (or line ends): step there the plain way.
    while (base_ + 2 < target)
        AdvanceBase();
}

void TTxtFile::SkipToCandidate(const TxtCandidateFinder& finder) {
    if (inCarry(base_) || atFillEnd(base_)) return;
    if (&finder != finder_) {
        // This fill was not looked through for the new finder's hint; later fills are.
        hint_ = finder.Hint(hintOffset_);
        if (hint_ == ' ' || hint_ == '\n' || hint_ == '\r' || hint_ == 0) hint_ = -1;
        hintValid_ = false;
    }
    if (&finder != finder_ || fills_ != finderFill_) {
        finder.NewFill();
        finder_ = &finder;
        finderFill_ = fills_;
    }
    // Attempts that begin before the limit read nothing at or beyond the data end, so skipping
    // them cannot skip a refill either.
    const std::ptrdiff_t margin = static_cast<std::ptrdiff_t>(finder.Reach()) + 4;
    if (dataEnd() - base_ <= margin) return;
    char* const limit = dataEnd() - margin;
    for (char* from = base_; from < limit;) {
        char* to = limit;
        from = pastUnhinted(from, limit, to);
        if (from >= limit) break;
        char* q = const_cast<char*>(finder.Find(from, to));
        if (q == nullptr) {
            if (to == limit) break;
            from = to;
            continue;
        }
        if (q - base_ > kWalkBack && isLead(q[-1])) {
            // Keep the walk back over lead-range bytes short: bring the base near q first.
            advanceTo(q - 1);
            while (base_ < q)
                AdvanceBase();
            if (base_ == q) return;
            from = base_;
            continue;
        }
        if (isBoundary(q)) {
            bulkAdvance(q);
            return;
        }
        from = q + 1;
    }
    advanceTo(limit);
}

}  // namespace zb
