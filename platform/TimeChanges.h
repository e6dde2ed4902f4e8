#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace platform {

// Tells when the wall clock moved other than by running: set by hand or by the network, or the
// computer woke from sleep. Costs nothing while nothing happens: the kernel reports a clock set
// on a timer descriptor that never expires, logind the wake on the system bus.
class TimeChanges : public QObject {
    Q_OBJECT
public:
    static TimeChanges& shared();
    ~TimeChanges() override;

    // Starts listening; later calls do nothing.
    void watch();

Q_SIGNALS:
    void moved();

private Q_SLOTS:
    void sleeping(bool before);

private:
    TimeChanges() = default;
    void armClockWatch();
    void clockSet();

    int timerFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool watching_ = false;
};

} // namespace platform
