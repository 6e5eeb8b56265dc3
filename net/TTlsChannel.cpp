#include "net/TTlsChannel.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "net/ESockError.h"

namespace zb {

namespace {

// The reason of the oldest queued OpenSSL error ("wrong version number"), or `fallback`.
std::string QueuedReason(const char* fallback) {
    const unsigned long error = ERR_get_error();
    ERR_clear_error();
    if (error == 0) return fallback;
    const char* reason = ERR_reason_error_string(error);
    if (reason != nullptr) return reason;
    char text[256];
    ERR_error_string_n(error, text, sizeof text);
    return text;
}

bool IsIpv4Address(const std::string& name) {
    in_addr address{};
    return ::inet_pton(AF_INET, name.c_str(), &address) == 1;
}

}  // namespace

TTlsChannel::TTlsChannel(const std::string& serverName, const TTlsSettings& settings)
    : FVerify(!settings.Insecure) {
    FContext = SSL_CTX_new(TLS_client_method());
    if (FContext == nullptr) {
        throw ESockError("Cannot set up TLS: " + QueuedReason("out of memory"), SockErrorKind::Tls);
    }
    SSL_CTX_set_min_proto_version(FContext, TLS1_2_VERSION);
    if (FVerify) {
        // The system's store through its hashed folder, which loads a certificate only when a
        // chain needs it. A bundle file is parsed whole up front (tens of milliseconds), so it
        // is read only when SSL_CERT_FILE names one and no CA file of our own is given.
        SSL_CTX_set_default_verify_dir(FContext);
        if (settings.CaFile.empty() && std::getenv(X509_get_default_cert_file_env()) != nullptr) {
            SSL_CTX_set_default_verify_file(FContext);
        }
    }
    if (!settings.CaFile.empty() &&
        SSL_CTX_load_verify_locations(FContext, settings.CaFile.c_str(), nullptr) != 1) {
        const std::string reason = QueuedReason("no certificate in it");
        SSL_CTX_free(FContext);
        throw ESockError("Cannot load the CA file \"" + settings.CaFile + "\": " + reason,
                         SockErrorKind::Tls);
    }
    FSsl = SSL_new(FContext);
    FIn = BIO_new(BIO_s_mem());
    FOutBio = BIO_new(BIO_s_mem());
    if (FSsl == nullptr || FIn == nullptr || FOutBio == nullptr) {
        BIO_free(FIn);
        BIO_free(FOutBio);
        SSL_free(FSsl);
        SSL_CTX_free(FContext);
        throw ESockError("Cannot set up TLS: out of memory", SockErrorKind::Tls);
    }
    SSL_set_bio(FSsl, FIn, FOutBio);
    SSL_set_connect_state(FSsl);
    SSL_set_verify(FSsl, FVerify ? SSL_VERIFY_PEER : SSL_VERIFY_NONE, nullptr);
    if (IsIpv4Address(serverName)) {
        // No SNI for an address; the certificate must name the address itself.
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(FSsl), serverName.c_str());
    } else {
        SSL_set_tlsext_host_name(FSsl, serverName.c_str());
        SSL_set_hostflags(FSsl, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
        SSL_set1_host(FSsl, serverName.c_str());
    }
}

TTlsChannel::~TTlsChannel() {
    SSL_free(FSsl);  // frees both BIOs
    SSL_CTX_free(FContext);
}

void TTlsChannel::Feed(const char* data, std::size_t size) {
    TrackRecords(reinterpret_cast<const unsigned char*>(data), size);
    BIO_write(FIn, data, static_cast<int>(size));
}

void TTlsChannel::TrackRecords(const unsigned char* data, std::size_t size) {
    std::size_t i = 0;
    while (i < size) {
        if (FRecordLeft > 0) {
            const std::size_t skip = std::min(FRecordLeft, size - i);
            FRecordLeft -= skip;
            i += skip;
            continue;
        }
        FHeader[FHeaderHave++] = data[i++];
        if (FHeaderHave == sizeof FHeader) {
            // Content type, version (2 bytes), body length (2 bytes, big-endian).
            FRecordLeft = static_cast<std::size_t>(FHeader[3]) << 8 | FHeader[4];
            FHeaderHave = 0;
        }
    }
}

void TTlsChannel::CollectOutgoing() {
    char chunk[16384];
    while (BIO_ctrl_pending(FOutBio) > 0) {
        const int n = BIO_read(FOutBio, chunk, sizeof chunk);
        if (n <= 0) break;
        FOut.append(chunk, static_cast<std::size_t>(n));
    }
}

void TTlsChannel::NoteFailure(int sslError) {
    if (sslError == SSL_ERROR_SSL) {
        const long verify = SSL_get_verify_result(FSsl);
        if (FVerify && verify != X509_V_OK) {
            ERR_clear_error();
            FFailure =
                std::string("certificate verify failed: ") + X509_verify_cert_error_string(verify);
        } else {
            FFailure = QueuedReason("protocol error");
        }
    } else {
        FFailure = QueuedReason("the TLS stream ended unexpectedly");
    }
}

TTlsChannel::TStep TTlsChannel::Handshake() {
    ERR_clear_error();
    const int rc = SSL_do_handshake(FSsl);
    CollectOutgoing();
    if (rc == 1) return TStep::Done;
    const int error = SSL_get_error(FSsl, rc);
    if (error == SSL_ERROR_WANT_READ) return TStep::WantRead;
    NoteFailure(error);
    return TStep::Failed;
}

int TTlsChannel::Read(char* buffer, std::size_t size) {
    ERR_clear_error();
    const int rc = SSL_read(FSsl, buffer, static_cast<int>(std::min<std::size_t>(size, INT_MAX)));
    // Reading may answer the peer (a key update, an alert).
    CollectOutgoing();
    if (rc > 0) return rc;
    const int error = SSL_get_error(FSsl, rc);
    if (error == SSL_ERROR_WANT_READ) return kWantRead;
    if (error == SSL_ERROR_ZERO_RETURN) return kClosed;
    NoteFailure(error);
    return kFailed;
}

bool TTlsChannel::Write(const char* data, std::size_t size) {
    while (size > 0) {
        ERR_clear_error();
        const int part = static_cast<int>(std::min<std::size_t>(size, INT_MAX));
        const int rc = SSL_write(FSsl, data, part);
        CollectOutgoing();
        if (rc <= 0) {
            NoteFailure(SSL_get_error(FSsl, rc));
            return false;
        }
        data += rc;
        size -= static_cast<std::size_t>(rc);
    }
    return true;
}

void TTlsChannel::Shutdown() {
    ERR_clear_error();
    SSL_shutdown(FSsl);
    ERR_clear_error();
    CollectOutgoing();
}

}  // namespace zb
