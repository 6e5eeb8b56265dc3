#pragma once
// Fetches thumbnail pictures beside a running search, several at a time, on the thread's event
// loop (Qt Network), so the page loop is never held up: the session's client pumps the same loop
// while it waits. Used by the window's Thumbnails tool window and by the harvester's downloads.
//
// Each address given to Enqueue ends in exactly one OnFinished call (unless Clear drops it
// first), in the order the transfers end, not the order given. A 429 or 503 answer is retried up
// to Retries times after the wait its Retry-After header asks for (at most 60 s), or 1 s, 2 s,
// 4 s... when it gives none or a bad one; OnRetryWait tells each wait before it starts.

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zb {

struct ThumbnailSettings {
    int Jobs = 4;               // transfers at once, 1..16
    int TimeOutMs = 5000;       // connection set-up (lookup, connect, proxy)
    int IdleTimeOutMs = 30000;  // silence during a transfer
    std::string ProxyHost;      // empty: direct
    int ProxyPort = 0;
    int Retries = 0;                   // extra tries after a 429 or 503
    std::int64_t MaxBytes = 16 << 20;  // a longer body is refused ("too large")
    // https: certificates trusted besides the system's (a PEM file), or no check at all.
    std::string CaFile;
    bool Insecure = false;
};

struct ThumbnailResult {
    std::string Address;
    int Status = 0;     // HTTP status of the last answer; 0 when none came
    std::string Data;   // the body, when Error is empty
    std::string Kind;   // picture type from its own bytes: png, jpg, gif, webp, bmp
    std::string Error;  // empty on success; else a short reason for people ("HTTP 404",
                        // "timed out", "not an image", "too large", a network message)
    bool Ok() const { return Error.empty(); }
};

class ThumbnailFetcher : public QObject {
    Q_OBJECT
public:
    explicit ThumbnailFetcher(QObject* parent = nullptr);
    ~ThumbnailFetcher() override;

    // Applies to transfers started from now on.
    void SetSettings(const ThumbnailSettings& settings);
    const ThumbnailSettings& Settings() const;

    // Queues an address (http:// or https://); starts it when fewer than Jobs transfers run.
    void Enqueue(const std::string& address);
    // Drops the queue and aborts the running transfers; no OnFinished follows for them.
    void Clear();
    // Addresses queued or running.
    int Outstanding() const;

    std::function<void(const ThumbnailResult&)> OnFinished;
    // address, the wait in milliseconds, the reason ("HTTP 503, Retry-After 2")
    std::function<void(const std::string&, int, const std::string&)> OnRetryWait;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The picture type named by the first bytes of `data` ("png", "jpg", "gif", "webp", "bmp"), or
// "" when they name none of those.
std::string SniffImageKind(const std::string& data);

}  // namespace zb
