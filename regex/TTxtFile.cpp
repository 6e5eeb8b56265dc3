#include "regex/TTxtFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw EFileNotFound(std::strerror(EISDIR));
    }
    opened_ = true;
    buffer_.reset(new char[BufferSize + Slack]());
    buffer_[0] = '\n';
    try {
        BuffRead(buffer_.get() + 1);
    } catch (...) {
        ::close(fd_);
        throw;
    }
    byteCount_ += 1;
    base_ = lineHead_ = readPos_ = buffer_.get();
}

TTxtFile::~TTxtFile() {
    if (opened_ && fd_ >= 0) ::close(fd_);
}

void TTxtFile::BuffRead(char* dest) {
    std::size_t got = 0;
    while (got < static_cast<std::size_t>(BufferSize)) {
        const ssize_t r = ::read(fd_, dest + got, BufferSize - got);
        if (r < 0) {
            if (errno == EINTR) continue;
            throw EInOutError(std::strerror(errno));
        }
        if (r == 0) break;
        got += static_cast<std::size_t>(r);
    }
    byteCount_ = static_cast<int>(got);
    if (got == 0) throw EEndOfFile();
    // A NUL of the file reads as a space wherever a position meets it; converting the whole
    // fill at once gives the same text and keeps NUL for the buffer's own sentinels.
    for (char* p = dest; (p = static_cast<char*>(std::memchr(p, '\0', dest + got - p)));)
        *p = ' ';
    struct stat st {};
    const off_t offset = ::lseek(fd_, 0, SEEK_CUR);
    atEnd_ = got < static_cast<std::size_t>(BufferSize) ||
             (::fstat(fd_, &st) == 0 && offset >= st.st_size);
    if (atEnd_) {
        if (dest[got - 1] == '\n') {
            dest[got] = dest[got + 1] = '\0';
        } else {
            dest[got] = '\n';
            dest[got + 1] = dest[got + 2] = '\0';
            ++byteCount_;
        }
    } else {
        dest[got] = '\0';
    }
    ProcessMessages();
    if (cancel_) throw EGrepCancel();
}

void TTxtFile::refill() {
    const long long next = bufferOffset_ + byteCount_;
    BuffRead(buffer_.get());
    bufferOffset_ = next;
}

long long TTxtFile::OffsetOf(const char* p) const {
    if (inCarry(p)) return carryOffset_ + (p - carry_.data());
    return bufferOffset_ + (p - buffer_.get());
}

void TTxtFile::keepLine() {
    if (inCarry(lineHead_)) {
        const std::size_t head = static_cast<std::size_t>(lineHead_ - carry_.data());
        carry_.append(buffer_.get(), static_cast<std::size_t>(byteCount_));
        lineHead_ = carry_.data() + head;
    } else {
        carryOffset_ = OffsetOf(lineHead_);
        carry_.assign(lineHead_, static_cast<std::size_t>(dataEnd() - lineHead_));
        lineHead_ = carry_.data();
    }
}

char TTxtFile::IncPBase() {
    const char c = *base_++;
    if (*base_ == '\0') IncPBaseNullChar(c);
    if (c == '\n') {
        if (!inCarry(base_)) carry_.clear();
        lineHead_ = base_;
        ++lineCounter_;
    }
    if (*base_ == '\r') {
        char* cr = base_++;
        bool moved = false;
        if (*base_ == '\0') {
            IncPBaseNullChar('\r');
            moved = true;
        }
        if (*base_ != '\n') {
            // A lone CR is a line end: it becomes the LF the base stands on. When it was the
            // last byte of the previous fill, it is the last character of the carry-over text.
            base_ = moved ? carryEnd() - 1 : cr;
            *base_ = '\n';
        }
    }
    readPos_ = base_;
    return c;
}

void TTxtFile::IncPBaseNullChar(char c) {
    if (!carry_.empty() && base_ == carryEnd()) {
        base_ = buffer_.get();
        return;
    }
    if (!inCarry(base_) && base_ < dataEnd()) {
        *base_ = ' ';
        return;
    }
    if (atEnd_) {
        if (c == '\0') --base_;
        throw EEndOfFile();
    }
    keepLine();
    refill();
    base_ = buffer_.get();
}

WChar_t TTxtFile::AdvanceBase() {
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
    if (*readPos_ == '\0') moved = GetCharNullChar(c);
    if (c == '\r') {
        if (*readPos_ == '\n') {
            ++readPos_;
            if (*readPos_ == '\0') GetCharNullChar('\n');
        } else if (moved) {
            carry_.back() = '\n';
        } else {
            *at = '\n';
        }
        return '\n';
    }
    return c;
}

bool TTxtFile::GetCharNullChar(char c) {
    if (!carry_.empty() && readPos_ == carryEnd()) {
        readPos_ = buffer_.get();
        return true;
    }
    if (!inCarry(readPos_) && readPos_ < dataEnd()) {
        *readPos_ = ' ';
        return false;
    }
    if (atEnd_) {
        if (c == '\0') --readPos_;
        return false;
    }
    // Refill, keeping the current line and the base.
    if (inCarry(lineHead_)) {
        const std::size_t head = static_cast<std::size_t>(lineHead_ - carry_.data());
        const std::size_t base =
            inCarry(base_) ? static_cast<std::size_t>(base_ - carry_.data())
                           : carry_.size() + static_cast<std::size_t>(base_ - buffer_.get());
        carry_.append(buffer_.get(), static_cast<std::size_t>(byteCount_));
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
    readPos_ = buffer_.get();
    return true;
}

WChar_t TTxtFile::GetWChar() {
    const char c = GetChar();
    if (!isLead(c)) return static_cast<unsigned char>(c);
    const char trail = *readPos_++;
    if (*readPos_ == '\0') GetCharNullChar(trail);
    return static_cast<WChar_t>(static_cast<unsigned char>(c) << 8 |
                                static_cast<unsigned char>(trail));
}

RE_LineInfo_t TTxtFile::GetThisLine() {
    ProcessMessages();
    if (cancel_) throw EGrepCancel();
    while (*base_ != '\n')
        IncPBase();
    RE_LineInfo_t info;
    if (inCarry(lineHead_)) {
        if (inCarry(base_)) {
            info.Line.assign(lineHead_, static_cast<std::size_t>(base_ - lineHead_));
        } else {
            info.Line.assign(lineHead_, static_cast<std::size_t>(carryEnd() - lineHead_));
            info.Line.append(buffer_.get(), static_cast<std::size_t>(base_ - buffer_.get()));
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

void TTxtFile::bulkAdvance(char* target) {
    if (target <= base_) return;
    const std::size_t ends = CountLineEnds(base_, target);
    if (ends > 0) {
        lineHead_ = const_cast<char*>(AfterLastLineEnd(base_, target));
        lineCounter_ += static_cast<int>(ends);
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
    if (inCarry(base_) || *base_ == '\0') return;
    // Attempts that begin before the limit read nothing at or beyond the data end, so skipping
    // them cannot skip a refill either.
    const std::ptrdiff_t margin = static_cast<std::ptrdiff_t>(finder.Reach()) + 4;
    if (dataEnd() - base_ <= margin) return;
    char* const limit = dataEnd() - margin;
    for (char* from = base_; from < limit;) {
        char* q = const_cast<char*>(finder.Find(from, limit));
        if (q == nullptr) break;
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
