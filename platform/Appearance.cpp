#include "platform/Appearance.h"

#include "platform/portal/Portal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QPalette>

namespace platform {

namespace {

const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearanceSpace = QStringLiteral("org.freedesktop.appearance");
const QString schemeKey = QStringLiteral("color-scheme");

// Read answers the value wrapped once more than ReadOne does; take off every wrapping.
QVariant unwrapped(QVariant value)
{
    while (value.metaType() == QMetaType::fromType<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    return value;
}

bool paletteIsDark()
{
    const QPalette palette = QGuiApplication::palette();
    return palette.color(QPalette::Window).lightness() <
           palette.color(QPalette::WindowText).lightness();
}

} // namespace

Appearance::Appearance(QObject* parent)
    : QObject(parent)
{
    dark_ = paletteIsDark();
    qApp->installEventFilter(this);
    askPortal();
}

void Appearance::askPortal()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    bus.connect(portal::service(), portal::objectPath(), settingsInterface,
                QStringLiteral("SettingChanged"), this,
                SLOT(settingChanged(QString, QString, QDBusVariant)));
    QDBusMessage read = QDBusMessage::createMethodCall(portal::service(), portal::objectPath(),
                                                       settingsInterface, QStringLiteral("Read"));
    read << appearanceSpace << schemeKey;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(read, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* self) {
                self->deleteLater();
                const QDBusPendingReply<QDBusVariant> reply = *self;
                if (!reply.isError()) {
                    schemeKnown(reply.value().variant());
                }
            });
}

void Appearance::settingChanged(const QString& space, const QString& key, const QDBusVariant& value)
{
    if (space == appearanceSpace && key == schemeKey) {
        schemeKnown(value.variant());
    }
}

void Appearance::schemeKnown(const QVariant& value)
{
    // 1 asks for dark, 2 for light, 0 (or anything else) states no preference.
    const uint scheme = unwrapped(value).toUInt();
    portalDark_ = scheme == 1 || scheme == 2 ? std::optional<bool>(scheme == 1) : std::nullopt;
    update();
}

bool Appearance::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) {
        update();
    }
    return false;
}

void Appearance::update()
{
    const bool dark = portalDark_.value_or(paletteIsDark());
    if (dark != dark_) {
        dark_ = dark;
        Q_EMIT darkChanged(dark_);
    }
}

} // namespace platform
