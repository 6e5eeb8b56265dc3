#include "net/TThreadTimer.h"

#include <QTimer>

namespace zb {

TThreadTimer::TThreadTimer() : FTimer(std::make_unique<QTimer>()) {
    FTimer->setTimerType(Qt::PreciseTimer);
    QObject::connect(FTimer.get(), &QTimer::timeout, [this] {
        if (FOnTimer) FOnTimer(*this);
    });
}

TThreadTimer::~TThreadTimer() {
    SetEnabled(false);
}

void TThreadTimer::SetEnabled(bool value) {
    if (value == FEnabled) return;
    FEnabled = value;
    UpdateTimer();
}

void TThreadTimer::SetInterval(std::uint32_t value) {
    if (value == FInterval) return;
    FInterval = value;
    UpdateTimer();
}

void TThreadTimer::SetOnTimer(TNotifyEvent handler) {
    FOnTimer = std::move(handler);
    UpdateTimer();
}

void TThreadTimer::UpdateTimer() {
    FTimer->stop();
    if (FInterval != 0 && FEnabled && FOnTimer) {
        // QTimer takes a signed interval; longer intervals are clamped.
        const std::uint32_t maxInterval = 0x7fffffffu;
        FTimer->start(static_cast<int>(FInterval > maxInterval ? maxInterval : FInterval));
    }
}

}  // namespace zb
