#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>
#include <map>
#include <memory>

// A session bus of the test's own: a dbus-daemon that can start no services, so nothing of the
// machine's desktop answers on it. `ok()` is false (say why with `error`) when none could start.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool ok() const { return !address_.isEmpty(); }
    QString error;
    // A new connection to the bus under a unique name of the test's.
    QDBusConnection connect();

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QStringList names_;
};

// The desktop portal as the test wants it, on a connection of its own: the GlobalShortcuts and
// Screenshot interfaces with their Request/Response pattern (paths from the caller's unique
// name and handle_token, the Response sent after the method's reply). It records every call.
class FakePortal : public QDBusVirtualObject {
    Q_OBJECT
public:
    struct Call {
        QString interface;
        QString method;
        QString sender;
        QVariantList arguments;
        QVariantMap options; // the last a{sv} argument
    };

    explicit FakePortal(const QDBusConnection& bus);
    ~FakePortal() override;

    // Interface name -> version; a missing interface is not offered.
    std::map<QString, uint> versions{{QStringLiteral("org.freedesktop.portal.GlobalShortcuts"), 1},
                                     {QStringLiteral("org.freedesktop.portal.Screenshot"), 2}};
    // The Screenshot answer: the response code and the file it names.
    uint screenshotResponse = 0;
    QString screenshotFile;
    // Never sends a Response (a portal that hangs).
    bool silent = false;

    QList<Call> calls;
    const Call* lastCall(const QString& method) const;
    // The shortcuts of the last BindShortcuts: id -> properties.
    std::map<QString, QVariantMap> boundShortcuts() const;
    QString session() const { return session_; }

    // Emits Activated for `id` in the session (or in another one).
    void activate(const QString& id, const QString& session = QString());

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString&) const override { return {}; }

private:
    void respond(const QString& requestPath, uint code, const QVariantMap& results);

    QDBusConnection bus_;
    QString session_;
};
