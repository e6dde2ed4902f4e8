#include "platform/Session.h"

#include <QProcessEnvironment>

namespace platform {

namespace {

Compositor compositorFrom(const QProcessEnvironment& environment)
{
    if (environment.contains(QStringLiteral("SWAYSOCK"))) {
        return Compositor::Sway;
    }
    const QString desktop = environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")).toLower();
    const auto names = [&desktop](std::initializer_list<const char*> candidates) {
        for (const char* name : candidates) {
            if (desktop.split(QLatin1Char(':')).contains(QLatin1String(name))) {
                return true;
            }
        }
        return false;
    };
    if (names({"sway", "wlroots", "hyprland", "river", "labwc", "wayfire"})) {
        return Compositor::Sway;
    }
    if (names({"gnome", "ubuntu", "unity", "pantheon", "budgie", "mutter"})) {
        return Compositor::Gnome;
    }
    if (names({"kde", "plasma"})) {
        return Compositor::Kde;
    }
    if (names({"weston"})) {
        return Compositor::Weston;
    }
    return Compositor::Unknown;
}

} // namespace

SessionKind detectSession(const QProcessEnvironment& environment, const QString& platformName)
{
    SessionKind kind;
    if (platformName != QLatin1String("xcb")) {
        return kind;
    }
    const bool wayland =
        !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() ||
        environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland");
    kind.display = wayland ? Display::XWayland : Display::X11;
    if (wayland) {
        kind.compositor = compositorFrom(environment);
    }
    return kind;
}

QString describe(const SessionKind& kind)
{
    static const char* const displays[] = {"none", "X11", "XWayland"};
    static const char* const compositors[] = {"unknown", "sway", "GNOME", "KDE", "Weston"};
    return QStringLiteral("%1 (%2)").arg(QLatin1String(displays[int(kind.display)]),
                                         QLatin1String(compositors[int(kind.compositor)]));
}

} // namespace platform
