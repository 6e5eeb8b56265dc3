#include "net/TSockWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QSocketNotifier>
#include <QTimer>

#include "net/TPowersock.h"

namespace zb {

namespace {

QEvent::Type PumpEventType(int kind) {
    return static_cast<QEvent::Type>(QEvent::User + kind);
}

// The dispatcher swallows every exception: nothing may unwind through the event loop.
template <class F>
void Guarded(F&& f) {
    try {
        f();
    } catch (...) {
    }
}

}  // namespace

TSockWindow::TSockWindow(TPowersock& session)
    : FSession(session),
      FRead(std::make_unique<QSocketNotifier>(QSocketNotifier::Read)),
      FWrite(std::make_unique<QSocketNotifier>(QSocketNotifier::Write)),
      FTick(std::make_unique<QTimer>()) {
    FTick->setTimerType(Qt::PreciseTimer);
    FTick->setSingleShot(true);
    QObject::connect(FRead.get(), &QSocketNotifier::activated, this,
                     [this] { Guarded([this] { FSession.SocketReadable(); }); });
    QObject::connect(FWrite.get(), &QSocketNotifier::activated, this,
                     [this] { Guarded([this] { FSession.SocketWritable(); }); });
}

TSockWindow::~TSockWindow() = default;

void TSockWindow::Watch(int fd) {
    // The notifiers are reused for every socket of the session (never deleted while one of
    // them may be delivering its own activation).
    FRead->setEnabled(false);
    FWrite->setEnabled(false);
    FRead->setSocket(fd);
    FWrite->setSocket(fd);
}

void TSockWindow::EnableRead(bool on) {
    if (FRead->isValid()) FRead->setEnabled(on);
}

void TSockWindow::EnableWrite(bool on) {
    if (FWrite->isValid()) FWrite->setEnabled(on);
}

void TSockWindow::Post(int kind) {
    QCoreApplication::postEvent(this, new QEvent(PumpEventType(kind)));
}

void TSockWindow::ProcessEventsOnce() {
    // The tick guarantees that the blocking call returns within 2 ms even when nothing else
    // happens, so the caller can test its flags (time-outs, lookups) again.
    FTick->start(2);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    FTick->stop();
}

bool TSockWindow::event(QEvent* e) {
    if (e->type() == PumpEventType(kSendPumpEvent)) {
        Guarded([this] { FSession.RunSendPump(); });
        return true;
    }
    if (e->type() == PumpEventType(kReceivePumpEvent)) {
        Guarded([this] { FSession.RunReceivePump(); });
        return true;
    }
    return QObject::event(e);
}

}  // namespace zb
