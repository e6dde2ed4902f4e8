#include "platform/portal/PortalShortcuts.h"

#include "platform/Backend.h"
#include "platform/KdeShortcuts.h"
#include "platform/portal/Portal.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <algorithm>

namespace {

const QString globalShortcuts = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// One element of BindShortcuts' a(sa{sv}).
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

// Documented as a string; some portals send an object path.
QString handleText(const QVariant& value)
{
    return value.canConvert<QDBusObjectPath>() ? value.value<QDBusObjectPath>().path()
                                               : value.toString();
}

} // namespace

PortalShortcuts::PortalShortcuts(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , bus_(bus)
{
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
}

PortalShortcuts::~PortalShortcuts() = default;

void PortalShortcuts::listen(std::function<void(const QString& id)> activated)
{
    activated_ = std::move(activated);
    // Any sender: naming the portal would make QtDBus look its owner up with a blocking call.
    bus_.connect(QString(), portal::objectPath(), globalShortcuts, QStringLiteral("Activated"),
                 this, SLOT(onActivated(QDBusMessage)));
}

void PortalShortcuts::onActivated(const QDBusMessage& message)
{
    // Activated(o session_handle, s shortcut_id, t timestamp, a{sv} options)
    const QVariantList arguments = message.arguments();
    const QString session = arguments.value(0).value<QDBusObjectPath>().path();
    if (!session_.isEmpty() && session == session_ && activated_) {
        activated_(arguments.value(1).toString());
    }
}

void PortalShortcuts::bind(const std::vector<Shortcut>& shortcuts,
                           std::function<void(const QString& reason)> done)
{
    withSession([this, shortcuts, done](const QString& reason) {
        if (!reason.isEmpty()) {
            done(reason);
            return;
        }
        bindInSession(shortcuts, done);
    });
}

void PortalShortcuts::withSession(Next next)
{
    if (!session_.isEmpty()) {
        next(QString());
        return;
    }
    waiting_.push_back(std::move(next));
    if (waiting_.size() > 1) {
        return; // the session is already being made
    }
    // The first call starts the portal and its backends, which takes seconds on a busy desktop.
    const auto versionWait =
        std::min<std::chrono::milliseconds>(timeout_, std::chrono::seconds(25));
    portal::interfaceVersion(
        bus_, globalShortcuts, versionWait, this, [this](uint version, const QString& reason) {
            if (version >= 1) {
                createSession();
            } else {
                sessionReady(QStringLiteral("the desktop has no global shortcuts "
                                            "portal (%1)")
                                 .arg(reason.isEmpty() ? QStringLiteral("version 0") : reason));
            }
        });
}

void PortalShortcuts::createSession()
{
    const QString token = portal::newToken();
    const QVariantMap options{{QStringLiteral("session_handle_token"), token}};
    const QString predicted = portal::sessionPath(bus_, token);
    portal::request(bus_, globalShortcuts, QStringLiteral("CreateSession"), {}, options, timeout_,
                    this, [this, predicted](const portal::Response& response) {
                        if (response.outcome != portal::Response::Outcome::Success) {
                            sessionReady(response.reason.isEmpty()
                                             ? QStringLiteral("no shortcuts session was made")
                                             : response.reason);
                            return;
                        }
                        const QString handle =
                            handleText(response.results.value(QStringLiteral("session_handle")));
                        session_ = handle.isEmpty() ? predicted : handle;
                        sessionReady(QString());
                    });
}

void PortalShortcuts::sessionReady(const QString& reason)
{
    std::vector<Next> waiting;
    waiting.swap(waiting_);
    for (const Next& next : waiting) {
        next(reason);
    }
}

void PortalShortcuts::bindInSession(const std::vector<Shortcut>& shortcuts,
                                    std::function<void(const QString& reason)> done)
{
    QList<PortalShortcut> list;
    for (const Shortcut& shortcut : shortcuts) {
        list.append({shortcut.id,
                     {{QStringLiteral("description"), shortcut.description},
                      {QStringLiteral("preferred_trigger"), shortcut.trigger}}});
    }
    const QVariantList arguments{QVariant::fromValue(QDBusObjectPath(session_)),
                                 QVariant::fromValue(list), QString()};
    portal::request(bus_, globalShortcuts, QStringLiteral("BindShortcuts"), arguments, {}, timeout_,
                    this, [done](const portal::Response& response) {
                        switch (response.outcome) {
                        case portal::Response::Outcome::Success:
                            done(QString());
                            break;
                        case portal::Response::Outcome::Cancelled:
                            done(QStringLiteral("the shortcuts were declined"));
                            break;
                        case portal::Response::Outcome::Failed:
                            done(response.reason);
                            break;
                        }
                    });
}

std::unique_ptr<ShortcutService> makePortalShortcutService()
{
    if (!platform::session().kind().wayland()) {
        return nullptr;
    }
    auto portal = std::make_unique<PortalShortcuts>(QDBusConnection::sessionBus());
    // KWin keeps KDE's shortcut service without Plasma's portal backend.
    if (platform::session().kind().compositor == platform::Compositor::Kde) {
        return std::make_unique<FallbackShortcuts>(
            std::move(portal), std::make_unique<KdeShortcuts>(QDBusConnection::sessionBus()));
    }
    return portal;
}
