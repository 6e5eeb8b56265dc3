#pragma once
// The session's time-out timer: a one-interval repeating timer serviced on the thread that owns
// it (the user-interface thread). Changing Enabled, Interval or OnTimer re-arms it.

#include <cstdint>
#include <functional>
#include <memory>

class QTimer;

namespace zb {

class TThreadTimer {
public:
    using TNotifyEvent = std::function<void(TThreadTimer& Sender)>;

    TThreadTimer();
    ~TThreadTimer();
    TThreadTimer(const TThreadTimer&) = delete;
    TThreadTimer& operator=(const TThreadTimer&) = delete;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    std::uint32_t Interval() const { return FInterval; }
    void SetInterval(std::uint32_t value);
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent handler);

private:
    void UpdateTimer();

    bool FEnabled = true;
    std::uint32_t FInterval = 1000;
    TNotifyEvent FOnTimer;
    std::unique_ptr<QTimer> FTimer;
};

}  // namespace zb
