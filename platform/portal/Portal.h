#pragma once

#include <QDBusConnection>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <chrono>
#include <functional>

class QObject;

// A small client of the desktop portal (org.freedesktop.portal.Desktop on the session bus),
// the only way a program on a Wayland session gets global shortcuts or the screen's image.
// Every call is asynchronous: nothing here waits on the bus.
namespace portal {

QString service();
QString objectPath();

// A portal method answers with the path of a Request object, which later emits Response.
struct Response {
    enum class Outcome { Success, Cancelled, Failed };
    Outcome outcome = Outcome::Failed;
    QVariantMap results;
    QString reason; // why it failed, in words for the log
};
using ResponseHandler = std::function<void(const Response&)>;

// A token for handle_token or session_handle_token, unique in this process.
QString newToken();
// The path the portal gives a request (or session) that `bus` starts with `token`: known
// before the call, so the Response cannot arrive before anyone listens for it.
QString requestPath(const QDBusConnection& bus, const QString& token);
QString sessionPath(const QDBusConnection& bus, const QString& token);

// Calls interface.method(arguments..., options) with a fresh handle_token added to
// `options`, and runs `done` once: with the Response, or Failed when the call is refused or
// no Response comes within `timeout` (the request is then closed). `done` never runs inside
// this call, and not at all once `context` (which may be null) is gone.
void request(const QDBusConnection& bus, const QString& interface, const QString& method,
             const QVariantList& arguments, QVariantMap options, std::chrono::milliseconds timeout,
             QObject* context, ResponseHandler done);

// Reads the "version" property of a portal interface; 0 with a reason when the desktop does
// not offer the interface (or no portal runs at all). `context` must not be null.
void interfaceVersion(const QDBusConnection& bus, const QString& interface,
                      std::chrono::milliseconds timeout, QObject* context,
                      std::function<void(uint version, const QString& reason)> done);

} // namespace portal
