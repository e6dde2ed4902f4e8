#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>

class QDBusConnection;

namespace platform {

// The desktop's notifications (org.freedesktop.Notifications), with actions. Sends without
// waiting; a desktop with no notification server simply shows nothing.
class Notifications : public QObject {
    Q_OBJECT
public:
    struct Action {
        QString key;
        QString label;
    };
    using Chosen = std::function<void(const QString& key)>;

    explicit Notifications(const QDBusConnection& bus, QObject* parent = nullptr);
    ~Notifications() override;

    // Shows a notification; `chosen` runs with the key of the action the user picks, on the
    // GUI thread, and never when it is dismissed.
    void notify(const QString& summary, const QString& body, const QList<Action>& actions,
                Chosen chosen);

private Q_SLOTS:
    void actionInvoked(uint id, const QString& key);
    void closed(uint id, uint reason);

private:
    std::unique_ptr<QDBusConnection> bus_;
    std::map<uint, Chosen> waiting_;
};

// The notifications in force: the services' (a test's), else those on the session bus.
Notifications& notifications();

} // namespace platform
