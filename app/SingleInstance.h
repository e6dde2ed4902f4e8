#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// One running copy per user. The first launch holds a lock and listens on a local socket; a
// later launch finds it, asks it to show the dashboard and steps aside, so two processes
// never write the same notes file.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role { Primary, Secondary };

    // `serverPath` names the socket; the lock file sits beside it.
    explicit SingleInstance(const QString& serverPath = defaultServerPath(),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // Decides this process's role. Primary: the caller goes on and this object listens.
    // Secondary: another copy runs and has been asked to show its dashboard (as far as it
    // answered); the caller should exit without touching any state.
    Role claim(int answerTimeoutMs = 3000);

    // The per-user socket in the runtime directory.
    static QString defaultServerPath();

    static constexpr const char* showDashboardMessage = "show-dashboard";

Q_SIGNALS:
    // A later launch asked for the dashboard.
    void showDashboardRequested();

private:
    bool listen();
    bool notifyRunningCopy(int timeoutMs) const;
    void accept();
    void read(QLocalSocket* socket);

    QString serverPath_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
};
