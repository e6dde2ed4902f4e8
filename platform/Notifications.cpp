#include "platform/Notifications.h"

#include "platform/AppId.h"
#include "platform/Services.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>

namespace platform {

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");
constexpr int serverDefaultTimeout = -1;
constexpr int answerWithinMs = 5000;

} // namespace

Notifications::Notifications(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , bus_(std::make_unique<QDBusConnection>(bus))
{
    bus_->connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(actionInvoked(uint, QString)));
    bus_->connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                  SLOT(closed(uint, uint)));
}

Notifications::~Notifications() = default;

void Notifications::notify(const QString& summary, const QString& body,
                           const QList<Action>& actions, Chosen chosen)
{
    QStringList pairs;
    for (const Action& action : actions) {
        pairs << action.key << action.label;
    }
    const QString appId = QStringLiteral(QUILLHAVEN_APP_ID);
    QDBusMessage message =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
    message << QStringLiteral("Quillhaven") << uint(0) << appId << summary << body << pairs
            << QVariantMap{{QStringLiteral("desktop-entry"), appId}} << serverDefaultTimeout;
    auto* watcher = new QDBusPendingCallWatcher(bus_->asyncCall(message, answerWithinMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, chosen = std::move(chosen)](QDBusPendingCallWatcher* answer) mutable {
                answer->deleteLater();
                const QDBusPendingReply<uint> reply = *answer;
                if (reply.isValid() && chosen) {
                    waiting_[reply.value()] = std::move(chosen);
                }
            });
}

void Notifications::actionInvoked(uint id, const QString& key)
{
    const auto found = waiting_.find(id);
    if (found == waiting_.end()) {
        return;
    }
    const Chosen chosen = std::move(found->second);
    waiting_.erase(found);
    chosen(key);
}

void Notifications::closed(uint id, uint /*reason*/)
{
    waiting_.erase(id);
}

Notifications& notifications()
{
    if (Notifications* installed = services().notifications) {
        return *installed;
    }
    static QPointer<Notifications> real;
    if (!real) {
        real = new Notifications(QDBusConnection::sessionBus(), QCoreApplication::instance());
    }
    return *real;
}

} // namespace platform
