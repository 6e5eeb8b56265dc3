#pragma once
// The session's notification receiver: it watches the socket with Qt socket notifiers, takes
// the session's posted "run the send pump" / "run the receive pump" requests, and drives the
// 2 ms tick that bounds one turn of a wait. Everything is delivered on the owning thread.

#include <QObject>
#include <memory>

class QSocketNotifier;
class QTimer;

namespace zb {

class TPowersock;

class TSockWindow : public QObject {
public:
    static constexpr int kSendPumpEvent = 1127;
    static constexpr int kReceivePumpEvent = 1128;

    explicit TSockWindow(TPowersock& session);
    ~TSockWindow() override;

    // Watches a new socket (or none for -1); notifications start disabled.
    void Watch(int fd);
    void EnableRead(bool on);
    void EnableWrite(bool on);
    void Post(int kind);
    // Processes events once, blocking until one arrives or 2 ms pass.
    void ProcessEventsOnce();

protected:
    bool event(QEvent* e) override;

private:
    TPowersock& FSession;
    std::unique_ptr<QSocketNotifier> FRead;
    std::unique_ptr<QSocketNotifier> FWrite;
    std::unique_ptr<QTimer> FTick;
};

}  // namespace zb
