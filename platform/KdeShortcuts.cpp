#include "platform/KdeShortcuts.h"

#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QKeySequence>
#include <QTimer>

namespace {

const QString service = QStringLiteral("org.kde.kglobalaccel");
const QString path = QStringLiteral("/kglobalaccel");
const QString interface = QStringLiteral("org.kde.KGlobalAccel");

// The service's flags for setShortcut.
constexpr uint isDefault = 1;
constexpr uint setPresent = 2;

QDBusMessage call(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return message;
}

} // namespace

KdeShortcuts::KdeShortcuts(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , bus_(bus)
{
}

// Each action in turn: registered, given its default keys, and then those keys made its own.
// A key another program holds comes back as none.
void KdeShortcuts::bind(const std::vector<Shortcut>& shortcuts,
                        std::function<void(const QString& reason)> done)
{
    if (bus_.interface() == nullptr || !bus_.interface()->isServiceRegistered(service)) {
        QTimer::singleShot(0, this, [done = std::move(done)] {
            done(QStringLiteral("no KDE shortcut service on the session bus"));
        });
        return;
    }
    std::vector<QDBusMessage> calls;
    for (const Shortcut& shortcut : shortcuts) {
        const QStringList action{QLatin1String(component), shortcut.id,
                                 QStringLiteral("Quillhaven"), shortcut.description};
        const QKeySequence keys =
            QKeySequence::fromString(shortcut.trigger, QKeySequence::PortableText);
        const QVariant wanted =
            QVariant::fromValue(QList<int>{keys.isEmpty() ? 0 : keys[0].toCombined()});
        calls.push_back(call(QStringLiteral("doRegister"), {action}));
        calls.push_back(call(QStringLiteral("setShortcut"), {action, wanted, isDefault}));
        calls.push_back(call(QStringLiteral("setShortcut"), {action, wanted, setPresent}));
    }
    calls.push_back(call(QStringLiteral("getComponent"), {QLatin1String(component)}));
    next(std::move(calls), 0, std::move(done));
}

void KdeShortcuts::next(std::vector<QDBusMessage> calls, size_t at,
                        std::function<void(const QString& reason)> done)
{
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(calls[at], 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, calls = std::move(calls), at,
             done = std::move(done)](QDBusPendingCallWatcher* answer) mutable {
                answer->deleteLater();
                const QDBusMessage reply = answer->reply();
                QString reason =
                    reply.type() == QDBusMessage::ErrorMessage ? reply.errorMessage() : QString();
                const QDBusMessage& asked = calls[at];
                // The keys made present must be the keys asked for.
                if (reason.isEmpty() && asked.member() == QLatin1String("setShortcut") &&
                    asked.arguments().at(2).toUInt() == setPresent &&
                    qdbus_cast<QList<int>>(reply.arguments().value(0)) !=
                        asked.arguments().at(1).value<QList<int>>()) {
                    reason = QStringLiteral("%1 is held by another program")
                                 .arg(asked.arguments().at(0).toStringList().value(3));
                }
                if (!reason.isEmpty() || at + 1 == calls.size()) {
                    done(reason.isEmpty() ? listenTo(reply) : reason);
                    return;
                }
                next(std::move(calls), at + 1, std::move(done));
            });
}

QString KdeShortcuts::listenTo(const QDBusMessage& componentReply)
{
    const auto own = qdbus_cast<QDBusObjectPath>(componentReply.arguments().value(0));
    const bool heard =
        !own.path().isEmpty() &&
        bus_.connect(service, own.path(), QStringLiteral("org.kde.kglobalaccel.Component"),
                     QStringLiteral("globalShortcutPressed"), this,
                     SLOT(onPressed(QString, QString, qlonglong)));
    return heard ? QString() : QStringLiteral("KDE's shortcut service gives no component");
}

void KdeShortcuts::listen(std::function<void(const QString& id)> activated)
{
    activated_ = std::move(activated);
}

void KdeShortcuts::onPressed(const QString& owner, const QString& action, qlonglong)
{
    if (owner == QLatin1String(component) && activated_) {
        activated_(action);
    }
}

FallbackShortcuts::FallbackShortcuts(std::unique_ptr<ShortcutService> first,
                                     std::unique_ptr<ShortcutService> second)
    : first_(std::move(first))
    , second_(std::move(second))
{
}

void FallbackShortcuts::bind(const std::vector<Shortcut>& shortcuts,
                             std::function<void(const QString& reason)> done)
{
    first_->bind(shortcuts, [this, shortcuts, done = std::move(done)](const QString& reason) {
        if (reason.isEmpty()) {
            done(reason);
            return;
        }
        second_->bind(shortcuts, [reason, done](const QString& also) {
            done(also.isEmpty() ? also : reason + QStringLiteral("; ") + also);
        });
    });
}

void FallbackShortcuts::listen(std::function<void(const QString& id)> activated)
{
    first_->listen(activated);
    second_->listen(std::move(activated));
}
