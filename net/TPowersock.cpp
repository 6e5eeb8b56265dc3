#include "net/TPowersock.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <exception>

#include "net/SockErrorTable.h"
#include "net/TSockWindow.h"
#include "net/TTlsChannel.h"

namespace zb {

namespace {

int gSessionCount = 0;

// The socket layer description that the first session publishes: the system's socket layer
// and its limits.
std::vector<std::string> SocketLayerInfo() {
    rlimit limit{};
    std::string maxSockets = "unlimited";
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        maxSockets = std::to_string(static_cast<unsigned long long>(limit.rlim_cur));
    }
    utsname system{};
    std::string version = "unknown";
    if (uname(&system) == 0) version = std::string(system.sysname) + " " + system.release;
    return {
        "Version= " + version,
        "High Version= " + version,
        "Description= POSIX non-blocking TCP sockets on the Qt " + std::string(qVersion()) +
            " event loop",
        "System= Running",
        "Max Sockets= " + maxSockets,
        "Max Udp pack size= 65507",
    };
}

// Raises "Null Remote Address"; a failed lookup that left no address goes with it as its cause.
[[noreturn]] void RaiseNullRemoteAddress(const std::exception_ptr& lookupFailure, int code) {
    ESockError error("Null Remote Address", SockErrorKind::Lookup, code);
    if (!lookupFailure) throw error;
    try {
        std::rethrow_exception(lookupFailure);
    } catch (...) {
        std::throw_with_nested(error);
    }
}

}  // namespace

int TPowersock::SessionCount() {
    return gSessionCount;
}

TPowersock::TPowersock() {
    StatusMessage(8, "Create");
    FWindow = std::make_unique<TSockWindow>(*this);
    FTimer = std::make_unique<TThreadTimer>();
    FTimer->SetEnabled(false);
    FTimer->SetOnTimer([this](TThreadTimer&) { TimerTriggered(); });
    InitWinsock();
}

TPowersock::~TPowersock() {
    // From here on no event reaches the owner's handlers, whose objects may already be gone.
    FDestroying = true;
    StatusMessage(8, "Destroy");
    TPowersock::Abort();
    Cancel();
    FLookup.Abandon();
    FTimer.reset();
    if (FSendFile != nullptr) std::fclose(FSendFile);
    if (FRecvFile != nullptr) std::fclose(FRecvFile);
    try {
        RequestCloseSocket();
    } catch (const std::exception&) {
        // A failing close during destruction has nobody left to report to.
    }
    FWindow.reset();
    if (FStarted) --gSessionCount;
}

void TPowersock::StatusMessage(int level, const std::string& text) {
    if (level > ReportLevel) return;
    FLastStatus = text;
    if (!FDestroying && OnStatus) OnStatus(*this, FLastStatus);
}

void TPowersock::InitWinsock() {
    StatusMessage(8, "Initializing Winsock");
    if (QCoreApplication::instance() == nullptr) {
        throw ESockError("Initializaton of windows sockets failed");
    }
    ++gSessionCount;
    FStarted = true;
    try {
        if (gSessionCount == 1) FWinsockInfo = SocketLayerInfo();
        CreateSocket();
    } catch (const std::exception& e) {
        --gSessionCount;
        FStarted = false;
        const auto* cause = dynamic_cast<const ESockError*>(&e);
        std::throw_with_nested(ESockError("Initializaton of windows sockets failed",
                                          SockErrorKind::Other, cause ? cause->Code() : 0));
    }
}

void TPowersock::CreateSocket() {
    FSocket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (FSocket < 0) {
        FLastSockError = SockErrorFromErrno(errno);
        ErrorManager(kSockWouldBlock);
        return;
    }
    // Sockets close gracefully (no reset on close), so bytes written just before a Disconnect
    // still reach the peer.
    FWindow->Watch(FSocket);
}

void TPowersock::DestroySocket() {
    if (FSocket < 0) return;
    FWindow->Watch(-1);
    ::close(FSocket);
    FSocket = -1;
}

void TPowersock::ResolveHost() {
    StatusMessage(8, "Resolve Host");
    const std::string name = Proxy.empty() ? Host : Proxy;
    in_addr numeric{};
    FRemoteAddress.sin_addr.s_addr = 0;
    if (!name.empty() && ::inet_aton(name.c_str(), &numeric) != 0 &&
        numeric.s_addr != INADDR_NONE) {
        FRemoteAddress.sin_addr = numeric;
        return;
    }
    TimerOn();
    FLookupDone = false;
    FLookup.Start(name);
    while (!FLookupDone && !FTimedOut && !FCanceled) {
        ProcessEventsOnce();
        if (FLookup.Done()) {
            // The lookup's completion notification.
            FEventSucceeded = FLookup.Error() == 0;
            FLookupDone = true;
        }
    }
    TimerOff();
    const bool completed = FLookup.Done();
    const int error = FLookup.Error();
    const std::uint32_t address = FLookup.Address();
    FLookup.Abandon();
    if (FTimedOut) throw ESockError("Host Lookup Timed Out", SockErrorKind::TimeOut);
    if (FCanceled) throw ESockError("Host Lookup Canceled", SockErrorKind::Aborted);
    if (!completed || error != 0) {
        FLastErrorNo = SockErrorFromResolver(error);
        throw ESockError("Host Lookup Failed", SockErrorKind::Lookup, FLastErrorNo);
    }
    FRemoteAddress.sin_addr.s_addr = address;
    if (OnHostResolved) OnHostResolved(*this);
}

void TPowersock::Connect() {
    StatusMessage(8, "Connecting");
    FCanceled = false;
    if (FConnected) throw ESockError("Already connected", SockErrorKind::Other);
    if (FSocket < 0) CreateSocket();
    FPeerError = 0;
    FTlsFailure.clear();
    ResolveRemoteAddress();
    StartConnect();
    if (AwaitConnection()) return;
    FailConnect();
}

void TPowersock::ResolveRemoteAddress() {
    int retries = 0;
    for (;;) {
        std::exception_ptr lookupFailure;
        int lookupError = 0;
        try {
            ResolveHost();
        } catch (const ESockError& e) {
            // A time-out or a cancel ends the Connect; a failed lookup just leaves no address.
            if (e.Kind() == SockErrorKind::TimeOut || e.Kind() == SockErrorKind::Aborted) throw;
            lookupFailure = std::current_exception();
            lookupError = e.Code();
            FRemoteAddress.sin_addr.s_addr = 0;
        }
        if (FRemoteAddress.sin_addr.s_addr != 0) break;
        if (retries > 0 || !OnInvalidHost) RaiseNullRemoteAddress(lookupFailure, lookupError);
        bool handled = false;
        OnInvalidHost(handled);
        if (!handled) RaiseNullRemoteAddress(lookupFailure, lookupError);
        ++retries;
    }
    FRemoteAddress.sin_family = AF_INET;
    const int port = Proxy.empty() ? Port : ProxyPort;
    FRemoteAddress.sin_port = htons(static_cast<std::uint16_t>(port & 0xffff));
}

void TPowersock::StartConnect() {
    FLookupDone = false;
    FEventSucceeded = true;
    FConnectError = 0;
    FSendError = 0;
    FConnecting = true;
    const int rc = ::connect(FSocket, reinterpret_cast<const sockaddr*>(&FRemoteAddress),
                             sizeof FRemoteAddress);
    if (rc < 0) {
        const int err = errno;
        // A non-blocking connect answers "in progress"; it completes by notification.
        FLastSockError = err == EINPROGRESS ? kSockWouldBlock : SockErrorFromErrno(err);
        try {
            ErrorManager(kSockWouldBlock);
        } catch (...) {
            FConnecting = false;
            // A socket whose connect failed is replaced, so the next Connect starts afresh.
            DestroySocket();
            CreateSocket();
            throw;
        }
    }
    FWindow->EnableRead(true);
    FWindow->EnableWrite(true);
}

bool TPowersock::AwaitConnection() {
    TimerOn();
    while (!FConnected && !FTimedOut && !FCanceled && FEventSucceeded)
        ProcessEventsOnce();
    TimerOff();
    return !FTimedOut && !FCanceled && FEventSucceeded && FConnected;
}

void TPowersock::FailConnect() {
    FConnecting = false;
    const int connectError = FConnectError;
    FConnected = false;
    DestroySocket();
    CreateSocket();
    if (OnConnectionFailed) OnConnectionFailed(*this);
    if (FTimedOut) throw ESockError("Connection Timed out", SockErrorKind::TimeOut);
    if (FCanceled) throw ESockError("Connection Canceled", SockErrorKind::Aborted);
    if (connectError != 0) {
        // The notification carried the reason (for example kSockConnRefused).
        const std::string message = LookupErrorMessage(connectError);
        FLastErrorNo = connectError;
        if (OnError) OnError(*this, static_cast<std::uint16_t>(connectError), message);
        throw ESockError(message, SockErrorKindOf(connectError), connectError);
    }
    throw ESockError("Connection Failed", SockErrorKind::Refused);
}

void TPowersock::ConnectCompleted() {
    FConnecting = false;
    int err = 0;
    socklen_t len = sizeof err;
    if (::getsockopt(FSocket, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
    FWindow->EnableWrite(false);
    if (err != 0) {
        FEventSucceeded = false;
        FConnectError = SockErrorFromErrno(err);
        FWindow->EnableRead(false);
        return;
    }
    FEventSucceeded = true;
    FConnected = true;
    FLastActivity = NowMs();
    if (OnConnect) OnConnect(*this);
}

void TPowersock::Disconnect() {
    StatusMessage(8, "Disconnecting");
    // A TLS session still open ends with its close_notify alert.
    if (FTls && FConnected && !FTlsHandshaking) EndTls(true);
    RequestCloseSocket();
}

void TPowersock::RequestCloseSocket() {
    StatusMessage(4, "Request Close Socket");
    FConnected = false;
    FConnecting = false;
    FTls.reset();
    FTlsHandshaking = false;
    if (FSocket < 0) return;
    FWindow->Watch(-1);
    const int rc = ::close(FSocket);
    FSocket = -1;
    if (rc != 0) {
        FLastSockError = SockErrorFromErrno(errno);
        ErrorManager(kSockWouldBlock);
    }
    if (!FDestroying && OnDisconnect) OnDisconnect(*this);
    // A fresh socket makes the session ready for the next Connect.
    if (!FDestroying) CreateSocket();
}

void TPowersock::HandleClose() {
    FConnected = false;
    RequestCloseSocket();
}

void TPowersock::Cancel() {
    StatusMessage(8, "Canceling");
    FCanceled = true;
}

void TPowersock::Abort() {}

void TPowersock::ErrorManager(int ignore) {
    StatusMessage(16, "Checking Error In Error Manager");
    const int err = FLastSockError;
    FLastErrorNo = err;
    if (err == ignore) return;
    const std::string message = LookupErrorMessage(err);
    if (!FDestroying && OnError) OnError(*this, static_cast<std::uint16_t>(err), message);
    throw ESockError(message, SockErrorKindOf(err), err);
}

std::string TPowersock::LookupErrorMessage(int err) {
    StatusMessage(8, "Looking Up Error Message");
    return SockErrorMessage(err);
}

void TPowersock::TimerOn() {
    StatusMessage(8, "Timer On");
    FTimedOut = false;
    if (TimeOut < 0) throw Exception("Range check error");
    FTimer->SetInterval(static_cast<std::uint32_t>(TimeOut));
    FTimer->SetEnabled(true);
}

void TPowersock::TimerOff() {
    StatusMessage(8, "Timer Off");
    FTimer->SetEnabled(false);
}

void TPowersock::TimerTriggered() {
    StatusMessage(8, "Timer Triggered");
    TimerOff();
    FTimedOut = true;
    Abort();
}

int TPowersock::Accept() {
    while (!FLookupDone && !FCanceled)
        ProcessEventsOnce();
    if (FCanceled) throw ESockError("Accepting Canceled", SockErrorKind::Aborted);
    if (!FEventSucceeded) throw ESockError("Error creating Data Connection", SockErrorKind::Other);
    StatusMessage(4, "Accepting");
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    const int accepted = ::accept4(FSocket, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_CLOEXEC);
    if (accepted < 0) {
        FLastSockError = SockErrorFromErrno(errno);
        ErrorManager(0);
    }
    FRemoteAddress = peer;
    if (FCanceled) {
        FCanceled = false;
        ::close(accepted);
        throw EAbortError("Socket send aborted");
    }
    return accepted;
}

void TPowersock::ProcessEventsOnce() {
    FWindow->ProcessEventsOnce();
}

std::int64_t TPowersock::NowMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void TPowersock::NoteActivity() {
    FLastActivity = NowMs();
}

void TPowersock::CheckIdle(TWaitKind kind, std::int64_t waitStart) {
    if (IdleTimeOut <= 0) return;
    const std::int64_t since = std::max(waitStart, FLastActivity);
    if (NowMs() - since < IdleTimeOut) return;
    throw ESockError(kind == TWaitKind::Send ? "Send Timed Out" : "Receive Timed Out",
                     SockErrorKind::TimeOut);
}

// Notifications --------------------------------------------------------------------------

void TPowersock::SocketReadable() {
    if (FConnecting) {
        ConnectCompleted();
        return;
    }
    if (FTlsHandshaking) {
        TlsHandshakeStep();
        return;
    }
    ReadToStream();
}

void TPowersock::SocketWritable() {
    if (FConnecting) {
        ConnectCompleted();
        return;
    }
    FWindow->EnableWrite(false);
    if (FTlsHandshaking) {
        TlsHandshakeStep();
        return;
    }
    if (FTls) {
        // Ciphertext left over from an earlier send goes first; a failure shows in the send
        // pump.
        int err = 0;
        FlushTls(err);
    }
    WriteFromStream();
}

void TPowersock::RunSendPump() {
    if (FConnected) WriteFromStream();
}

void TPowersock::RunReceivePump() {
    if (FConnected) ReadToStream();
}

void TPowersock::PostSendPump() {
    FWindow->Post(TSockWindow::kSendPumpEvent);
}

void TPowersock::PostReceivePump() {
    FWindow->Post(TSockWindow::kReceivePumpEvent);
}

}  // namespace zb
