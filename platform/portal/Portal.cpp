#include "platform/portal/Portal.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QObject>
#include <QPointer>
#include <QRandomGenerator>
#include <QTimer>

namespace portal {

namespace {

const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");

// The sender part of a request path: the unique name without its colon, dots as underscores.
QString senderElement(const QDBusConnection& bus)
{
    QString name = bus.baseService();
    if (name.startsWith(QLatin1Char(':'))) {
        name.remove(0, 1);
    }
    return name.replace(QLatin1Char('.'), QLatin1Char('_'));
}

QString seconds(std::chrono::milliseconds span)
{
    return QString::number(double(span.count()) / 1000.0, 'g', 3);
}

// One request in flight: listens on the request's path and reports exactly once.
class PendingRequest : public QObject {
    Q_OBJECT
public:
    PendingRequest(const QDBusConnection& bus, ResponseHandler done, QObject* context)
        : QObject(context)
        , bus_(bus)
        , done_(std::move(done))
    {
    }

    void listen(const QString& path)
    {
        if (!path_.isEmpty()) {
            bus_.disconnect(QString(), path_, requestInterface, QStringLiteral("Response"), this,
                            SLOT(onResponse(uint, QVariantMap)));
        }
        path_ = path;
        // No sender named: naming the portal's well-known name would make QtDBus look up its
        // owner with a blocking call. The path is ours alone anyway.
        bus_.connect(QString(), path_, requestInterface, QStringLiteral("Response"), this,
                     SLOT(onResponse(uint, QVariantMap)));
    }

    void startTimer(std::chrono::milliseconds timeout)
    {
        QTimer::singleShot(timeout, this, [this, timeout] {
            // The portal may still be showing something: ask it to stop.
            bus_.send(QDBusMessage::createMethodCall(service(), path_, requestInterface,
                                                     QStringLiteral("Close")));
            fail(QStringLiteral("no answer from the portal within %1 s").arg(seconds(timeout)));
        });
    }

    void fail(const QString& reason)
    {
        Response response;
        response.reason = reason;
        finish(response);
    }

    void callAnswered(QDBusPendingCallWatcher* watcher)
    {
        const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
        watcher->deleteLater();
        if (reply.isError()) {
            fail(reply.error().message());
            return;
        }
        // Portals older than handle_token choose their own path: follow it.
        const QString handle = reply.value().path();
        if (!finished_ && !handle.isEmpty() && handle != path_) {
            listen(handle);
        }
    }

public Q_SLOTS:
    void onResponse(uint code, const QVariantMap& results)
    {
        Response response;
        response.results = results;
        if (code == 0) {
            response.outcome = Response::Outcome::Success;
        } else if (code == 1) {
            response.outcome = Response::Outcome::Cancelled;
        } else {
            response.reason =
                QStringLiteral("the portal ended the request (response %1)").arg(code);
        }
        finish(response);
    }

private:
    void finish(const Response& response)
    {
        if (finished_) {
            return;
        }
        finished_ = true;
        bus_.disconnect(QString(), path_, requestInterface, QStringLiteral("Response"), this,
                        SLOT(onResponse(uint, QVariantMap)));
        deleteLater();
        done_(response);
    }

    QDBusConnection bus_;
    QString path_;
    ResponseHandler done_;
    bool finished_ = false;
};

} // namespace

QString service()
{
    return QStringLiteral("org.freedesktop.portal.Desktop");
}

QString objectPath()
{
    return QStringLiteral("/org/freedesktop/portal/desktop");
}

QString newToken()
{
    static int counter = 0;
    return QStringLiteral("quillhaven_%1_%2")
        .arg(++counter)
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

QString requestPath(const QDBusConnection& bus, const QString& token)
{
    return objectPath() + QStringLiteral("/request/") + senderElement(bus) + QLatin1Char('/') +
           token;
}

QString sessionPath(const QDBusConnection& bus, const QString& token)
{
    return objectPath() + QStringLiteral("/session/") + senderElement(bus) + QLatin1Char('/') +
           token;
}

void request(const QDBusConnection& bus, const QString& interface, const QString& method,
             const QVariantList& arguments, QVariantMap options, std::chrono::milliseconds timeout,
             QObject* context, ResponseHandler done)
{
    auto* pending = new PendingRequest(bus, std::move(done), context);
    if (!bus.isConnected()) {
        // Reported later, as every answer is, so callers never see it from inside the call.
        QTimer::singleShot(0, pending, [pending, reason = bus.lastError().message()] {
            pending->fail(QStringLiteral("no session bus: ") + reason);
        });
        return;
    }
    const QString token = newToken();
    options.insert(QStringLiteral("handle_token"), token);
    pending->listen(requestPath(bus, token));
    pending->startTimer(timeout);

    QDBusMessage call = QDBusMessage::createMethodCall(service(), objectPath(), interface, method);
    call.setArguments(QVariantList(arguments) << options);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, int(timeout.count())), pending);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, pending,
                     [pending](QDBusPendingCallWatcher* self) { pending->callAnswered(self); });
}

void interfaceVersion(const QDBusConnection& bus, const QString& interface,
                      std::chrono::milliseconds timeout, QObject* context,
                      std::function<void(uint version, const QString& reason)> done)
{
    if (!bus.isConnected()) {
        QTimer::singleShot(0, context, [done, reason = bus.lastError().message()] {
            done(0, QStringLiteral("no session bus: ") + reason);
        });
        return;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        service(), objectPath(), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get.setArguments({interface, QStringLiteral("version")});
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(get, int(timeout.count())), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [done = std::move(done)](QDBusPendingCallWatcher* self) {
                         const QDBusPendingReply<QDBusVariant> reply = *self;
                         self->deleteLater();
                         if (reply.isError()) {
                             done(0, reply.error().message());
                             return;
                         }
                         done(reply.value().variant().toUInt(), QString());
                     });
}

} // namespace portal

#include "Portal.moc"
