#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (a shutdown, Ctrl+C, the end of the desktop session) into an
// orderly quit of the event loop, so the program leaves the way the Quit command does: windows
// closed, hot keys released, every note on disk.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

Q_SIGNALS:
    // Emitted from the event loop, never from inside the signal handler.
    void quitRequested(int signal);

private:
    void drain();

    QSocketNotifier* notifier_ = nullptr;
};
