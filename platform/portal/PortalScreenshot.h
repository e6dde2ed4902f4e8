#pragma once

#include "platform/portal/Portal.h"

#include <QDBusConnection>
#include <QString>
#include <chrono>
#include <functional>

class QObject;

namespace portal {

// What the Screenshot portal gave: the local file it wrote, or why there is none.
struct Shot {
    Response::Outcome outcome = Response::Outcome::Failed;
    QString file;
    QString reason;
};

// Asks org.freedesktop.portal.Screenshot for the screen's image. With `interactive`, the
// desktop lets the user pick a region (or window) first and the file holds just that.
void screenshot(const QDBusConnection& bus, bool interactive, std::chrono::milliseconds timeout,
                QObject* context, std::function<void(const Shot&)> done);

} // namespace portal
