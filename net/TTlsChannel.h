#pragma once
// One TLS client session over memory buffers. OpenSSL reads and writes two memory BIOs and never
// touches the socket, so the socket session keeps its own non-blocking socket, notifications,
// waits and time-outs: ciphertext that arrives goes in with Feed, ciphertext to be sent collects
// in Outgoing().

#include <cstddef>
#include <cstdint>
#include <string>

struct ssl_st;
struct ssl_ctx_st;
struct bio_st;

namespace zb {

struct TTlsSettings {
    std::string CaFile;     // a PEM file of certificates trusted besides the system's store
    bool Insecure = false;  // no verification of the server's certificate and name
};

class TTlsChannel {
public:
    enum class TStep { Done, WantRead, Failed };
    // Results of Read besides a byte count.
    static constexpr int kWantRead = 0;
    static constexpr int kClosed = -1;  // the peer ended the session with close_notify
    static constexpr int kFailed = -2;

    // Prepares a client session for `serverName` (a host name, sent as SNI and checked against
    // the certificate, or a dotted IPv4 address, checked against the certificate's addresses).
    // Raises ESockError (kind Tls) when the CA file cannot be loaded.
    TTlsChannel(const std::string& serverName, const TTlsSettings& settings);
    ~TTlsChannel();
    TTlsChannel(const TTlsChannel&) = delete;
    TTlsChannel& operator=(const TTlsChannel&) = delete;

    // Takes ciphertext received from the peer.
    void Feed(const char* data, std::size_t size);
    // Ciphertext waiting to be sent; the caller erases what the socket took.
    std::string& Outgoing() { return FOut; }

    TStep Handshake();
    // Decrypts up to `size` bytes into `buffer`: a positive count, kWantRead, kClosed or kFailed.
    int Read(char* buffer, std::size_t size);
    // Encrypts all the bytes into Outgoing(); false on failure.
    bool Write(const char* data, std::size_t size);
    // Queues the close_notify alert.
    void Shutdown();
    // Whether the bytes fed so far end inside a TLS record (a cut stream, not a record boundary).
    bool MidRecord() const { return FHeaderHave > 0 || FRecordLeft > 0; }
    // Why the last operation failed, e.g. "certificate verify failed: certificate has expired".
    const std::string& Failure() const { return FFailure; }

private:
    void CollectOutgoing();
    void NoteFailure(int sslError);
    void TrackRecords(const unsigned char* data, std::size_t size);

    ssl_ctx_st* FContext = nullptr;
    ssl_st* FSsl = nullptr;
    bio_st* FIn = nullptr;      // owned by FSsl
    bio_st* FOutBio = nullptr;  // owned by FSsl
    std::string FOut;
    std::string FFailure;
    bool FVerify = true;
    // Record framing of the incoming stream: header bytes seen of the current record, and body
    // bytes still to come.
    unsigned char FHeader[5] = {};
    std::size_t FHeaderHave = 0;
    std::size_t FRecordLeft = 0;
};

}  // namespace zb
