// TLS on the socket session: the handshake as one more wait of connection set-up, and the recv
// and send of the pumps passed through the TLS layer while it is active. The socket stays
// non-blocking and served by the session's notifications; only ciphertext touches it.

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <cerrno>

#include "net/SockErrorTable.h"
#include "net/TPowersock.h"
#include "net/TSockWindow.h"
#include "net/TTlsChannel.h"

namespace zb {

namespace {

bool WouldBlock(int err) {
    return err == EAGAIN || err == EWOULDBLOCK || err == EINTR;
}

}  // namespace

void TPowersock::StartTls(const std::string& serverName) {
    StatusMessage(8, "Starting TLS");
    if (!FConnected) throw SockError(kSockNotConnected);
    try {
        FTls = std::make_unique<TTlsChannel>(serverName, TTlsSettings{CaFile, Insecure});
    } catch (...) {
        RequestCloseSocket();
        throw;
    }
    FTlsHost = serverName;
    FTlsFailure.clear();
    // The handshake's last flight and the request go out as separate small writes: without
    // this each waits for the peer's delayed acknowledgement of the one before.
    const int noDelay = 1;
    ::setsockopt(FSocket, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    TimerOn();
    FTlsHandshaking = true;
    TlsHandshakeStep();
    while (FTlsHandshaking && !FTimedOut && !FCanceled)
        ProcessEventsOnce();
    TimerOff();
    if (!FTlsHandshaking && FTlsFailure.empty() && FTls) {
        StatusMessage(8, "TLS Established");
        return;
    }
    std::string message = FTlsFailure;
    SockErrorKind kind = FTlsFailureKind;
    if (message.empty() && FTimedOut) {
        message = "TLS handshake with " + serverName + " timed out";
        kind = SockErrorKind::TimeOut;
    } else if (message.empty()) {
        message = "TLS handshake with " + serverName + " canceled";
        kind = SockErrorKind::Aborted;
    }
    FTlsHandshaking = false;
    FTlsFailure.clear();
    RequestCloseSocket();
    throw ESockError(message, kind);
}

void TPowersock::TlsHandshakeStep() {
    if (!FTls || !FTlsHandshaking) return;
    // One chunk per step: a peer flooding bytes cannot keep the step from returning.
    char raw[kChunkSize];
    const long n = ::recv(FSocket, raw, sizeof raw, 0);
    const int readError = n < 0 && !WouldBlock(errno) ? errno : 0;
    if (n > 0) {
        FTls->Feed(raw, static_cast<std::size_t>(n));
        NoteActivity();
    }
    const TTlsChannel::TStep step = FTls->Handshake();
    if (step == TTlsChannel::TStep::Failed) {
        FailTlsHandshake(FTls->Failure(), SockErrorKind::Tls);
        return;
    }
    int err = 0;
    if (!FlushTls(err) && !WouldBlock(err)) {
        const int code = SockErrorFromErrno(err);
        FailTlsHandshake(SockErrorMessage(code), SockErrorKindOf(code));
        return;
    }
    if (step == TTlsChannel::TStep::Done) {
        FTlsHandshaking = false;
        // Records that came with the last handshake flight wait in the TLS layer.
        PostReceivePump();
        return;
    }
    if (n == 0) {
        FailTlsHandshake("the connection closed during the handshake", SockErrorKind::Closed);
    } else if (readError != 0) {
        const int code = SockErrorFromErrno(readError);
        FailTlsHandshake(SockErrorMessage(code), SockErrorKindOf(code));
    }
}

void TPowersock::FailTlsHandshake(std::string reason, SockErrorKind kind) {
    FTlsFailure = "TLS handshake with " + FTlsHost + " failed: " + reason;
    FTlsFailureKind = kind;
    FTlsHandshaking = false;
    FWindow->EnableRead(false);
    FWindow->EnableWrite(false);
}

void TPowersock::EndTls(bool notifyPeer) {
    if (notifyPeer) {
        FTls->Shutdown();
        int err = 0;
        FlushTls(err);  // best effort: the connection closes next anyway
    }
    FTls.reset();
}

bool TPowersock::FlushTls(int& err) {
    std::string& out = FTls->Outgoing();
    std::size_t sent = 0;
    while (sent < out.size()) {
        const long n = ::send(FSocket, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            NoteActivity();
            continue;
        }
        err = errno;
        out.erase(0, sent);
        if (WouldBlock(err)) {
            // The rest goes when the socket can take more.
            err = EAGAIN;
            FWindow->EnableWrite(true);
        }
        return false;
    }
    out.clear();
    return true;
}

long TPowersock::ReceiveSome(char* buffer, std::size_t size, int& err) {
    if (FTlsHandshaking) {
        err = EAGAIN;
        return -1;
    }
    if (FTls) return TlsReceive(buffer, size, err);
    const long n = ::recv(FSocket, buffer, size, 0);
    err = errno;
    return n;
}

long TPowersock::SendSome(const char* data, std::size_t size, int& err) {
    if (FTlsHandshaking) {
        err = EAGAIN;
        return -1;
    }
    if (FTls) return TlsSend(data, size, err);
    const long n = ::send(FSocket, data, size, MSG_NOSIGNAL);
    err = errno;
    return n;
}

long TPowersock::TlsReceive(char* buffer, std::size_t size, int& err) {
    std::size_t got = 0;
    for (;;) {
        const int rc = FTls->Read(buffer + got, size - got);
        if (rc > 0) {
            got += static_cast<std::size_t>(rc);
            if (got == size) return static_cast<long>(got);
            continue;
        }
        if (rc == TTlsChannel::kClosed) return static_cast<long>(got);
        if (rc == TTlsChannel::kFailed) {
            if (got > 0) return static_cast<long>(got);
            FTlsFailure = "The TLS connection with " + FTlsHost + " failed: " + FTls->Failure();
            FTlsFailureKind = SockErrorKind::Tls;
            err = ECONNABORTED;
            return -1;
        }
        // The layer needs more ciphertext; it may have an answer to send first.
        int flushError = 0;
        FlushTls(flushError);
        char raw[kChunkSize];
        const long n = ::recv(FSocket, raw, sizeof raw, 0);
        if (n > 0) {
            FTls->Feed(raw, static_cast<std::size_t>(n));
            continue;
        }
        if (got > 0) return static_cast<long>(got);  // the close or error shows on the next call
        if (n < 0) {
            err = errno;
            return -1;
        }
        // The peer closed without close_notify. At a record boundary that ends the stream as a
        // close of a plain connection does; inside a record bytes were lost.
        if (!FTls->MidRecord()) return 0;
        FTlsFailure = "The TLS connection with " + FTlsHost + " closed in the middle of a record";
        FTlsFailureKind = SockErrorKind::Closed;
        err = ECONNABORTED;
        return -1;
    }
}

long TPowersock::TlsSend(const char* data, std::size_t size, int& err) {
    // Ciphertext still waiting holds back new bytes, so the queue does not grow without bound.
    if (!FlushTls(err)) return -1;
    if (!FTls->Write(data, size)) {
        FTlsFailure = "The TLS connection with " + FTlsHost + " failed: " + FTls->Failure();
        FTlsFailureKind = SockErrorKind::Tls;
        err = ECONNABORTED;
        return -1;
    }
    int flushError = 0;
    if (!FlushTls(flushError) && !WouldBlock(flushError)) {
        err = flushError;
        return -1;
    }
    return static_cast<long>(size);
}

ESockError TPowersock::PeerFailure() const {
    if (!FTlsFailure.empty()) return ESockError(FTlsFailure, FTlsFailureKind);
    return SockError(FPeerError);
}

}  // namespace zb
