#include "support/FakePortal.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFile>
#include <QTimer>
#include <QUrl>

namespace {

const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// Listens in the test's folder and knows no service files, so no real portal can be started.
const char* const busConfig =
    "<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>"
    "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
    "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>";

QVariantMap asMap(const QVariant& value)
{
    return value.canConvert<QDBusArgument>() ? qdbus_cast<QVariantMap>(value.value<QDBusArgument>())
                                             : value.toMap();
}

QString pathElement(QString uniqueName)
{
    return uniqueName.remove(0, 1).replace(QLatin1Char('.'), QLatin1Char('_'));
}

} // namespace

PrivateBus::PrivateBus()
{
    // A daemon that is not installed, or finds no config, gives no address: said in `error`.
    QFile config(dir_.filePath(QStringLiteral("bus.conf")));
    if (config.open(QIODevice::WriteOnly))
        config.write(QString::fromLatin1(busConfig).arg(dir_.path()).toUtf8());
    config.close();
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                   QStringLiteral("--print-address")});
    while (daemon_.waitForReadyRead(5000)) {
        if (daemon_.canReadLine()) {
            address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
            return;
        }
    }
    error = QStringLiteral("dbus-daemon gave no address: ") + daemon_.errorString();
}

PrivateBus::~PrivateBus()
{
    for (const QString& name : names_) {
        QDBusConnection::disconnectFromBus(name);
    }
    daemon_.terminate();
    if (!daemon_.waitForFinished(3000)) {
        daemon_.kill();
        daemon_.waitForFinished(3000);
    }
}

QDBusConnection PrivateBus::connect()
{
    static int count = 0;
    const QString name = QStringLiteral("quillhaven-test-%1").arg(++count);
    names_ << name;
    return QDBusConnection::connectToBus(address_, name);
}

FakePortal::FakePortal(const QDBusConnection& bus)
    : bus_(bus)
{
    bus_.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
    // Sub-paths too: Close arrives on a request's own path.
    bus_.registerVirtualObject(portalPath, this, QDBusConnection::SubPath);
}

FakePortal::~FakePortal()
{
    bus_.unregisterObject(portalPath, QDBusConnection::UnregisterTree);
}

const FakePortal::Call* FakePortal::lastCall(const QString& method) const
{
    const auto it = std::find_if(calls.crbegin(), calls.crend(),
                                 [&](const Call& call) { return call.method == method; });
    return it == calls.crend() ? nullptr : &*it;
}

std::map<QString, QVariantMap> FakePortal::boundShortcuts() const
{
    std::map<QString, QVariantMap> shortcuts;
    const Call* bind = lastCall(QStringLiteral("BindShortcuts"));
    if (bind == nullptr) {
        return shortcuts;
    }
    const QDBusArgument list = bind->arguments.value(1).value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString id;
        QVariantMap properties;
        list.beginStructure();
        list >> id >> properties;
        list.endStructure();
        shortcuts[id] = properties;
    }
    list.endArray();
    return shortcuts;
}

void FakePortal::activate(const QString& id, const QString& session)
{
    QDBusMessage signal = QDBusMessage::createSignal(
        portalPath, QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
        QStringLiteral("Activated"));
    signal << QVariant::fromValue(QDBusObjectPath(session.isEmpty() ? session_ : session)) << id
           << qulonglong(0) << QVariantMap();
    bus_.send(signal);
}

bool FakePortal::handleMessage(const QDBusMessage& message, const QDBusConnection& connection)
{
    if (message.type() != QDBusMessage::MethodCallMessage) {
        return false;
    }
    Call call{message.interface(), message.member(), message.service(), message.arguments(), {}};
    if (!call.arguments.isEmpty()) {
        call.options = asMap(call.arguments.last());
    }
    calls << call;

    if (call.method == QLatin1String("Get")) {
        const auto found = versions.find(call.arguments.value(0).toString());
        connection.send(
            found == versions.end()
                ? message.createErrorReply(QDBusError::UnknownInterface,
                                           QStringLiteral("No such interface"))
                : message.createReply(QVariant::fromValue(QDBusVariant(found->second))));
        return true;
    }
    if (call.method == QLatin1String("Close")) {
        connection.send(message.createReply());
        return true;
    }
    const QString request = portalPath + QStringLiteral("/request/") + pathElement(call.sender) +
                            QLatin1Char('/') +
                            call.options.value(QStringLiteral("handle_token")).toString();
    connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
    if (silent) {
        return true;
    }
    QVariantMap results;
    const uint code = call.method == QLatin1String("Screenshot") ? screenshotResponse : 0;
    if (call.method == QLatin1String("CreateSession")) {
        session_ = portalPath + QStringLiteral("/session/") + pathElement(call.sender) +
                   QLatin1Char('/') +
                   call.options.value(QStringLiteral("session_handle_token")).toString();
        results.insert(QStringLiteral("session_handle"), session_);
    } else if (call.method == QLatin1String("Screenshot") && code == 0) {
        results.insert(QStringLiteral("uri"), QUrl::fromLocalFile(screenshotFile).toString());
    }
    respond(request, code, results);
    return true;
}

void FakePortal::respond(const QString& requestPath, uint code, const QVariantMap& results)
{
    // Later, as a real portal does: the caller has its reply before the Response.
    QTimer::singleShot(0, this, [this, requestPath, code, results] {
        QDBusMessage signal = QDBusMessage::createSignal(
            requestPath, QStringLiteral("org.freedesktop.portal.Request"),
            QStringLiteral("Response"));
        signal << code << results;
        bus_.send(signal);
    });
}
