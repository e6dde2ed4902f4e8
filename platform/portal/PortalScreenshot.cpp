#include "platform/portal/PortalScreenshot.h"

#include <QUrl>

namespace portal {

void screenshot(const QDBusConnection& bus, bool interactive, std::chrono::milliseconds timeout,
                QObject* context, std::function<void(const Shot&)> done)
{
    // Modal: the picker belongs to the program that asked, over whatever is on the screen.
    const QVariantMap options{{QStringLiteral("interactive"), interactive},
                              {QStringLiteral("modal"), true}};
    request(
        bus, QStringLiteral("org.freedesktop.portal.Screenshot"), QStringLiteral("Screenshot"),
        {QString()}, options, timeout, context, [done = std::move(done)](const Response& response) {
            Shot shot;
            shot.outcome = response.outcome;
            shot.reason = response.reason;
            if (response.outcome == Response::Outcome::Success) {
                const QUrl uri(response.results.value(QStringLiteral("uri")).toString());
                shot.file = uri.isLocalFile() ? uri.toLocalFile() : QString();
                if (shot.file.isEmpty()) {
                    shot.outcome = Response::Outcome::Failed;
                    shot.reason = QStringLiteral("the portal gave no local file (\u201C%1\u201D)")
                                      .arg(uri.toString());
                }
            }
            done(shot);
        });
}

} // namespace portal
