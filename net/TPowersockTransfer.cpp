// Data transfer of the socket session: the send and receive pumps and the blocking operations
// built on them.

#include <cerrno>
#include <cstring>
#include <exception>
#include <utility>

#include "common/Exception.h"
#include "net/SockErrorTable.h"
#include "net/TPowersock.h"
#include "net/TSockWindow.h"

namespace zb {

namespace {

// Runs a cleanup when leaving a scope, also by an exception.
template <class F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : FCleanup(std::move(f)) {}
    ~ScopeExit() { FCleanup(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    F FCleanup;
};

// Collects the first exception thrown by the handlers a pump raises. The pump finishes its work
// whatever a handler does, so the transfer goes on, and lets the exception go afterwards (the
// dispatcher swallows it).
class THandlerErrors {
public:
    template <class F>
    void Run(F&& handler) {
        try {
            handler();
        } catch (...) {
            if (!FFirst) FFirst = std::current_exception();
        }
    }
    void Rethrow() {
        if (FFirst) std::rethrow_exception(std::exchange(FFirst, nullptr));
    }

private:
    std::exception_ptr FFirst;
};

std::string FileError(const char* what, const std::string& name, int err) {
    return std::string(what) + " \"" + name + "\". " + std::strerror(err);
}

}  // namespace

// Pumps ------------------------------------------------------------------------------------

void TPowersock::ReadToStream() {
    THandlerErrors handlers;
    if (FCanceled) {
        FWindow->EnableRead(false);
        FWindow->EnableWrite(false);
        handlers.Run([this] {
            if (OnAbortRead) OnAbortRead(*this);
        });
    }
    if (FPumpBusy || FSocket < 0) {
        handlers.Rethrow();
        return;
    }
    long n = 0;
    int err = 0;
    {
        FPumpBusy = true;
        // However this part ends, the pumps can run again.
        ScopeExit idle([this] { FPumpBusy = false; });
        handlers.Run([this] { StatusMessage(8, "ReadToStream"); });
        char buffer[kChunkSize];
        n = ReceiveSome(buffer, sizeof buffer, err);
        if (n > 0) {
            NoteActivity();
            StoreReceived(buffer, static_cast<std::size_t>(n));
            // A full buffer may mean more is waiting: read again without waiting for a
            // notification.
            if (static_cast<std::size_t>(n) == kChunkSize) PostReceivePump();
            if (FTransfer) {
                FBytesRecvd += n;
                handlers.Run([this] {
                    if (OnPacketRecvd) OnPacketRecvd(*this);
                });
            }
        }
    }
    if (n > 0) {
        handlers.Run([this] {
            if (OnRead) OnRead(*this);
        });
    } else if (n == 0) {
        HandleClose();
    } else if (const int code = SockErrorFromErrno(err);
               code != kSockWouldBlock && code != kSockInterrupted) {
        FLastErrorNo = code;
        handlers.Run([this] {
            const std::string text =
                FTlsFailure.empty() ? LookupErrorMessage(FLastErrorNo) : FTlsFailure;
            if (OnError) OnError(*this, static_cast<std::uint16_t>(FLastErrorNo), text);
        });
        // A failed receive (such as a reset) ends the connection like a close does.
        FPeerError = FLastErrorNo;
        HandleClose();
    }
    handlers.Rethrow();
}

void TPowersock::StoreReceived(const char* data, std::size_t n) {
    if (FRecvFile == nullptr) {
        FRecv.append(data, n);
        return;
    }
    if (FCaptureLimit >= 0) {
        const std::int64_t room = FCaptureLimit - FCaptured;
        if (room <= 0) return;
        if (static_cast<std::int64_t>(n) > room) n = static_cast<std::size_t>(room);
    }
    if (FRecvFileError == 0 && std::fwrite(data, 1, n, FRecvFile) != n) FRecvFileError = errno;
    FCaptured += static_cast<std::int64_t>(n);
}

bool TPowersock::LimitReached() const {
    return FCaptureLimit >= 0 && FCaptured >= FCaptureLimit;
}

void TPowersock::WriteFromStream() {
    if (FPumpBusy || FSocket < 0) return;
    THandlerErrors handlers;
    {
        FPumpBusy = true;
        // However this part ends, the pumps can run again.
        ScopeExit idle([this] { FPumpBusy = false; });
        handlers.Run([this] { StatusMessage(8, "WriteFromStream"); });
        const std::int64_t n = SendChunk();
        if (n > 0) {
            FBytesSent += n;
            if (FTransfer) {
                handlers.Run([this] {
                    if (OnPacketSent) OnPacketSent(*this);
                });
            }
        }
    }
    handlers.Rethrow();
}

std::int64_t TPowersock::SendChunk() {
    const bool fileMode = FSendFile != nullptr;
    const bool pending = fileMode ? FSendFilePos < FSendFileSize : FSendPos < FSend.size();
    if (!pending || FCanceled) return 0;
    char fileChunk[kChunkSize];
    const char* chunk = nullptr;
    std::size_t len = 0;
    if (fileMode) {
        std::fseek(FSendFile, static_cast<long>(FSendFilePos), SEEK_SET);
        len = std::fread(fileChunk, 1, sizeof fileChunk, FSendFile);
        chunk = fileChunk;
        if (len == 0) {
            // The file ended early (it shrank while being sent): nothing more to send.
            FSendFileSize = FSendFilePos;
            FSendDone = true;
            return 0;
        }
    } else {
        chunk = FSend.data() + FSendPos;
        len = std::min(FSend.size() - FSendPos, kChunkSize);
    }
    int err = 0;
    const long n = SendSome(chunk, len, err);
    if (n < 0) {
        FLastErrorNo = SockErrorFromErrno(err);
        if (FLastErrorNo == kSockWouldBlock || FLastErrorNo == kSockInterrupted) {
            // Sent again when the socket can take more.
            FWindow->EnableWrite(true);
        } else {
            // A hard error: the waiting operation reports it.
            FSendError = FLastErrorNo;
        }
        return 0;
    }
    NoteActivity();
    if (fileMode) {
        FSendFilePos += n;
        if (FSendFilePos >= FSendFileSize) {
            FSendDone = true;
        } else {
            PostSendPump();
        }
    } else {
        FSendPos += static_cast<std::size_t>(n);
        if (FSendPos >= FSend.size()) {
            FSend.clear();
            FSendPos = 0;
            FSendDone = true;
        } else {
            PostSendPump();
        }
    }
    return n;
}

// Sending ------------------------------------------------------------------------------------

void TPowersock::WaitForSendDone() {
    const std::int64_t start = NowMs();
    // A connection that is gone can take no more bytes: that ends the wait too.
    while (!FSendDone && !FCanceled && FSendError == 0 && FConnected) {
        ProcessEventsOnce();
        if (!FSendDone) CheckIdle(TWaitKind::Send, start);
    }
    if (FCanceled) RaiseAbort("Socket send aborted");
    if (FSendError != 0 || !FSendDone) {
        const int err = FSendError != 0 ? FSendError : kSockNotConnected;
        FSendError = 0;
        FSend.clear();
        FSendPos = 0;
        throw SockError(err);
    }
}

void TPowersock::RaiseAbort(const char* message) {
    FCanceled = false;
    throw EAbortError(message);
}

void TPowersock::SendBuffer(const char* data, std::size_t length) {
    StatusMessage(4, "Sending Buffer");
    if (FCanceled) return;
    if (length == 0) length = ::strnlen(data, 65535);
    if (length == 0) return;  // nothing to send, nothing to wait for
    FSend.append(data, length);
    FSendDone = false;
    PostSendPump();
    try {
        WaitForSendDone();
    } catch (...) {
        FSend.clear();
        FSendPos = 0;
        throw;
    }
}

void TPowersock::Write(const std::string& text) {
    StatusMessage(8, "Write");
    // The whole text is sent, however long, NUL bytes included.
    if (text.empty()) {
        StatusMessage(4, "Sending Buffer");
        return;
    }
    SendBuffer(text.data(), text.size());
}

void TPowersock::Writeln(const std::string& text) {
    StatusMessage(8, "Writeln");
    Write(text + "\r\n");
}

std::FILE* TPowersock::OpenFileToSend(const std::string& fileName, std::int64_t& size) {
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (file == nullptr) throw EInOutError(FileError("Cannot open file", fileName, errno));
    // Some files open without being readable (a directory, for one): one byte is read first so
    // that they are refused before anything is announced or sent.
    if (std::fgetc(file) == EOF && std::ferror(file)) {
        const int err = errno;
        std::fclose(file);
        throw EInOutError(FileError("Cannot open file", fileName, err));
    }
    std::fseek(file, 0, SEEK_END);
    const long end = std::ftell(file);
    std::rewind(file);
    size = end < 0 ? 0 : end;
    return file;
}

void TPowersock::SendFile(const std::string& fileName) {
    StatusMessage(8, "SendFile");
    std::int64_t size = 0;
    std::FILE* file = OpenFileToSend(fileName, size);
    FTransfer = true;
    FSendFile = file;
    FSendFileSize = size;
    FSendFilePos = 0;
    ScopeExit restore([this] {
        std::fclose(FSendFile);
        FSendFile = nullptr;
        FTransfer = false;
    });
    FSendDone = false;
    FBytesSent = 0;
    FBytesTotal = FSendFileSize;
    PostSendPump();
    const std::int64_t start = NowMs();
    while (!FSendDone && !FCanceled && FBytesTotal > 0 && FSendError == 0 && FConnected) {
        ProcessEventsOnce();
        if (!FSendDone) CheckIdle(TWaitKind::Send, start);
    }
    if (FCanceled) RaiseAbort("Socket send aborted");
    if (FBytesTotal > 0 && (FSendError != 0 || !FSendDone)) {
        const int err = FSendError != 0 ? FSendError : kSockNotConnected;
        FSendError = 0;
        throw SockError(err);
    }
}

// Receiving ----------------------------------------------------------------------------------

std::string TPowersock::ReadLn() {
    StatusMessage(8, "ReadLn");
    const std::int64_t start = NowMs();
    std::size_t lf = std::string::npos;
    for (;;) {
        lf = FRecv.find('\n', FLineScan);
        if (lf != std::string::npos || FCanceled) break;
        FLineScan = FRecv.size();
        if (FRecv.size() > MaxLineLength) {
            throw ESockError("Line too long: more than " + std::to_string(MaxLineLength) +
                                 " bytes without a line end",
                             SockErrorKind::Protocol);
        }
        if (!FConnected) {
            if (FPeerError != 0) throw PeerFailure();
            throw ESockError("Connection closed before the line ended", SockErrorKind::Closed);
        }
        ProcessEventsOnce();
        CheckIdle(TWaitKind::Receive, start);
    }
    if (FCanceled) throw EAbortError("Socket readln aborted");
    if (lf + 1 > MaxLineLength) {
        throw ESockError("Line too long: more than " + std::to_string(MaxLineLength) +
                             " bytes without a line end",
                         SockErrorKind::Protocol);
    }
    std::string line = FRecv.substr(0, lf + 1);
    if (lf + 1 == FRecv.size()) {
        FRecv.clear();
    } else {
        // The rest waits for the next read.
        FRecvSpare.assign(FRecv, lf + 1, std::string::npos);
        FRecv.clear();
        FRecv.swap(FRecvSpare);
    }
    FLineScan = 0;
    return line;
}

void TPowersock::CaptureString(std::string& text, std::int64_t maximum) {
    text.clear();
    FTransfer = true;
    ScopeExit restore([this] { FTransfer = false; });
    StatusMessage(8, "Capture String");
    FBytesRecvd = 0;
    FCaptured = 0;
    const std::int64_t start = NowMs();
    auto more = [&] {
        if (FCanceled || LimitReached()) return false;
        if (maximum < 0) return FConnected || !FRecv.empty();
        // A closed connection with nothing buffered ends the capture, whatever the maximum.
        return static_cast<std::int64_t>(text.size()) < maximum && (FConnected || !FRecv.empty());
    };
    while (more()) {
        if (FRecv.empty()) {
            ProcessEventsOnce();
            if (FRecv.empty() && FConnected) CheckIdle(TWaitKind::Receive, start);
            continue;
        }
        std::size_t take = FRecv.size();
        if (FCaptureLimit >= 0) {
            take = static_cast<std::size_t>(
                std::min<std::int64_t>(static_cast<std::int64_t>(take), FCaptureLimit - FCaptured));
        }
        text.append(FRecv, 0, take);
        FCaptured += static_cast<std::int64_t>(take);
        FRecv.clear();
        FLineScan = 0;
    }
    if (FCanceled) RaiseAbort("Socket capture aborted");
}

void TPowersock::CaptureFile(const std::string& fileName) {
    FTransfer = true;
    StatusMessage(8, "CaptureFile");
    std::FILE* file = std::fopen(fileName.c_str(), "wb");
    if (file == nullptr) {
        FTransfer = false;
        throw EInOutError(FileError("Cannot create file", fileName, errno));
    }
    FRecvFile = file;
    FRecvFileName = fileName;
    FRecvFileError = 0;
    bool closed = false;
    auto closeFile = [this, &closed] {
        if (closed) return;
        closed = true;
        if (std::fclose(FRecvFile) != 0 && FRecvFileError == 0) FRecvFileError = errno;
        FRecvFile = nullptr;
        FTransfer = false;
    };
    ScopeExit restore(closeFile);
    FBytesRecvd = 0;
    FCaptured = 0;
    if (!FRecv.empty()) {
        // Bytes that arrived before the capture began (with the header) come first.
        const std::string buffered = std::move(FRecv);
        FRecv.clear();
        FLineScan = 0;
        StoreReceived(buffered.data(), buffered.size());
        FBytesRecvd = static_cast<std::int64_t>(buffered.size());
    }
    const std::int64_t start = NowMs();
    while (FConnected && !FCanceled && !LimitReached() && FRecvFileError == 0) {
        ProcessEventsOnce();
        if (FConnected && !LimitReached()) CheckIdle(TWaitKind::Receive, start);
    }
    closeFile();
    if (FCanceled) RaiseAbort("Socket send aborted");
    if (FRecvFileError != 0) {
        throw EInOutError(FileError("Cannot write file", FRecvFileName, FRecvFileError));
    }
}

std::string TPowersock::Transaction(const std::string& command) {
    StatusMessage(8, "Transaction");
    FReplyNumber = 0;
    Writeln(command);
    FLastReply = ReadLn();
    if (!FLastReply.empty()) {
        StatusMessage(1, FLastReply);
        std::size_t digits = 0;
        while (digits < FLastReply.size() && digits < 10 && FLastReply[digits] >= '0' &&
               FLastReply[digits] <= '9') {
            ++digits;
        }
        if (digits > 0) {
            const long long value = std::stoll(FLastReply.substr(0, digits));
            if (value > 32767) throw Exception("Range check error");
            FReplyNumber = static_cast<std::int16_t>(value);
        }
    }
    return FLastReply;
}

}  // namespace zb
