#pragma once
// One TCP client connection with a blocking-style interface on the user-interface thread.
//
// The socket is non-blocking. Its readiness reaches the session through Qt socket notifiers,
// and the session's own "run the send pump" / "run the receive pump" requests are posted
// events; all of them are handled inside the waits of the blocking operations, which keep
// processing the application's events (blocking until an event arrives or 2 ms pass), so a
// window stays responsive and handlers may run nested inside a waiting operation.
//
// Errors are reported with WinSock-style numbers and texts (see SockErrorTable.h).

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/ESockError.h"
#include "net/THostLookup.h"
#include "net/TThreadTimer.h"

namespace zb {

class TSockWindow;
class TTlsChannel;

class TPowersock {
public:
    using TNotifyEvent = std::function<void(TPowersock& Sender)>;
    using THandlerEvent = std::function<void(bool& Handled)>;
    using TOnStatus = std::function<void(TPowersock& Sender, const std::string& Status)>;
    using TOnErrorEvent =
        std::function<void(TPowersock& Sender, std::uint16_t Errno, const std::string& Errmsg)>;

    // Longest line ReadLn accepts before it gives up (a peer sending a line without end must
    // not exhaust memory).
    static constexpr std::size_t kDefaultMaxLineLength = 100 * 1024;
    // Size of one recv or send call.
    static constexpr std::size_t kChunkSize = 16383;

    // Needs a QCoreApplication (or QApplication) on the calling thread; raises ESockError
    // "Initializaton of windows sockets failed" otherwise.
    TPowersock();
    virtual ~TPowersock();
    TPowersock(const TPowersock&) = delete;
    TPowersock& operator=(const TPowersock&) = delete;

    // Published properties.
    std::string Host;
    int Port = 0;
    int TimeOut = 0;      // ms; bounds host lookup and connection set-up; 0 = no limit
    int ReportLevel = 0;  // highest status level passed to OnStatus
    // ms without any byte sent or received after which a transfer wait ends with an error;
    // 0 = no limit.
    int IdleTimeOut = 0;
    std::size_t MaxLineLength = kDefaultMaxLineLength;
    std::string Proxy;  // when not empty, connect to Proxy:ProxyPort instead of Host:Port
    int ProxyPort = 0;
    // TLS (see StartTls): a PEM file of certificates to trust besides the system's store, and
    // whether the server's certificate goes unchecked.
    std::string CaFile;
    bool Insecure = false;

    TNotifyEvent OnDisconnect;
    TNotifyEvent OnConnect;
    THandlerEvent OnInvalidHost;
    TNotifyEvent OnHostResolved;
    TOnStatus OnStatus;
    TNotifyEvent OnConnectionFailed;
    TNotifyEvent OnRead;
    TNotifyEvent OnAccept;
    TOnErrorEvent OnError;
    TNotifyEvent OnPacketRecvd;
    TNotifyEvent OnPacketSent;
    TNotifyEvent OnAbortRead;

    // Session state.
    bool Connected() const { return FConnected; }
    bool Canceled() const { return FCanceled; }
    bool TimedOut() const { return FTimedOut; }
    bool EventSucceeded() const { return FEventSucceeded; }
    bool LookupDone() const { return FLookupDone; }
    int LastErrorNo() const { return FLastErrorNo; }
    const std::string& LastStatus() const { return FLastStatus; }
    const std::string& LastReply() const { return FLastReply; }
    std::int16_t ReplyNumber() const { return FReplyNumber; }
    const sockaddr_in& RemoteAddress() const { return FRemoteAddress; }
    std::int64_t BytesSent() const { return FBytesSent; }
    std::int64_t BytesRecvd() const { return FBytesRecvd; }
    std::int64_t BytesTotal() const { return FBytesTotal; }
    const std::vector<std::string>& WinsockInfo() const { return FWinsockInfo; }
    // Number of live sessions in the process.
    static int SessionCount();

    // Connection.
    virtual int Accept();
    virtual void Connect();
    virtual void Disconnect();
    virtual std::string Transaction(const std::string& command);
    virtual void Abort();
    void Cancel();
    // Runs a TLS handshake on the connected socket for `serverName` (certificate and name checked
    // unless Insecure), bounded by TimeOut and ended by a cancel; from then on every transfer
    // is encrypted until the connection closes. On failure the connection is closed and
    // ESockError is raised naming the host and the reason.
    void StartTls(const std::string& serverName);
    bool TlsActive() const { return FTls != nullptr; }

    // Data transfer.
    void SendBuffer(const char* data, std::size_t length);  // length 0: up to the first NUL
    void Write(const std::string& text);
    void Writeln(const std::string& text);
    void SendFile(const std::string& fileName);
    std::string ReadLn();
    void CaptureString(std::string& text, std::int64_t maximum);
    void CaptureFile(const std::string& fileName);

    // One turn of a wait: processes the thread's events, blocking until an event arrives or
    // 2 ms pass.
    void ProcessEventsOnce();

protected:
    void StatusMessage(int level, const std::string& text);
    void ResolveHost();
    void RequestCloseSocket();
    // Raises the ESockError of the last socket error unless that error is `ignore`.
    void ErrorManager(int ignore);
    // The message for an error number (empty for 0).
    std::string LookupErrorMessage(int err);
    void TimerOn();
    void TimerOff();
    void TimerTriggered();
    void InitWinsock();

    // The captures stop once this many bytes have been delivered (-1 = no limit); bytes past
    // the limit are dropped.
    void SetCaptureLimit(std::int64_t limit) { FCaptureLimit = limit; }
    std::int64_t CaptureLimit() const { return FCaptureLimit; }
    // Bytes the last capture delivered to its text or file.
    std::int64_t Captured() const { return FCaptured; }
    // The error with which the peer ended the connection (e.g. kSockConnReset on a reset), 0
    // after an orderly close; cleared by Connect.
    int PeerError() const { return FPeerError; }
    // The error with which the connection broke (when PeerError() is not 0): the socket error,
    // or the TLS layer's failure.
    ESockError PeerFailure() const;

    // Opens a file to be sent and gives its size; raises EInOutError "Cannot open file ..." when
    // it cannot be opened or read.
    static std::FILE* OpenFileToSend(const std::string& fileName, std::int64_t& size);

    // Marks the session as being destroyed: status texts and events are no longer raised.
    void BeginDestroy() { FDestroying = true; }

    std::int16_t FReplyNumber = 0;
    std::int64_t FBytesTotal = 0;
    bool FLookupDone = false;

private:
    friend class TSockWindow;

    enum class TWaitKind { Send, Receive };

    // Notifications from the socket window.
    void SocketReadable();
    void SocketWritable();
    void RunSendPump();
    void RunReceivePump();

    void ReadToStream();
    void WriteFromStream();
    // Sends the next chunk of the send stream; returns the bytes the socket took (0 when nothing
    // was pending or the send failed).
    std::int64_t SendChunk();
    void HandleClose();
    // The steps of Connect: find the peer's address (asking OnInvalidHost once when there is
    // none), start the non-blocking connect, wait for its outcome, and clean up after a failure.
    void ResolveRemoteAddress();
    void StartConnect();
    bool AwaitConnection();
    [[noreturn]] void FailConnect();
    void ConnectCompleted();
    void CreateSocket();
    void DestroySocket();
    void PostSendPump();
    void PostReceivePump();
    void StoreReceived(const char* data, std::size_t n);
    bool LimitReached() const;
    void NoteActivity();
    void CheckIdle(TWaitKind kind, std::int64_t waitStart);
    std::int64_t NowMs() const;
    void RaiseAbort(const char* message);
    void WaitForSendDone();
    // One recv or send on the socket, through the TLS layer when it is active; like recv and
    // send, -1 with `err` set to the errno value on failure.
    long ReceiveSome(char* buffer, std::size_t size, int& err);
    long SendSome(const char* data, std::size_t size, int& err);
    long TlsReceive(char* buffer, std::size_t size, int& err);
    long TlsSend(const char* data, std::size_t size, int& err);
    // Sends the TLS layer's pending ciphertext; false when some stays (err: why).
    bool FlushTls(int& err);
    void TlsHandshakeStep();
    void FailTlsHandshake(std::string reason, SockErrorKind kind);
    void EndTls(bool notifyPeer);

    std::unique_ptr<TSockWindow> FWindow;
    std::unique_ptr<TThreadTimer> FTimer;
    THostLookup FLookup;
    int FSocket = -1;
    bool FConnecting = false;
    int FConnectError = 0;
    int FLastSockError = 0;  // the "last error" that ErrorManager reads
    int FSendError = 0;      // hard error of the last send, ends a send wait
    int FPeerError = 0;

    std::unique_ptr<TTlsChannel> FTls;
    std::string FTlsHost;
    bool FTlsHandshaking = false;
    std::string FTlsFailure;  // why the TLS layer failed; empty when it did not
    SockErrorKind FTlsFailureKind = SockErrorKind::Tls;

    bool FConnected = false;
    bool FCanceled = false;
    bool FTimedOut = false;
    bool FEventSucceeded = false;
    int FLastErrorNo = 0;
    std::string FLastStatus;
    std::string FLastReply;
    sockaddr_in FRemoteAddress{};
    std::int64_t FBytesSent = 0;
    std::int64_t FBytesRecvd = 0;
    std::vector<std::string> FWinsockInfo;
    bool FStarted = false;  // counted in the process-wide session count

    bool FTransfer = false;
    bool FPumpBusy = false;
    bool FSendDone = false;
    bool FDestroying = false;
    std::int64_t FLastActivity = 0;

    // Send side: queued bytes (from FSendPos on), or a file during SendFile.
    std::string FSend;
    std::size_t FSendPos = 0;
    std::FILE* FSendFile = nullptr;
    std::int64_t FSendFileSize = 0;
    std::int64_t FSendFilePos = 0;

    // Receive side: bytes not yet consumed, or a file during CaptureFile.
    std::string FRecv;
    std::string FRecvSpare;
    std::size_t FLineScan = 0;  // FRecv holds no LF before this offset
    std::FILE* FRecvFile = nullptr;
    std::string FRecvFileName;
    int FRecvFileError = 0;
    std::int64_t FCaptureLimit = -1;
    std::int64_t FCaptured = 0;
};

}  // namespace zb
