#include "platform/HotKeys.h"

#include "platform/Log.h"

#include <QMetaObject>
#include <QTimer>

namespace {

// The XDG shortcuts syntax names letters in lower case, as their X keysyms do.
QString trigger(quint32 keysym)
{
    return QStringLiteral("CTRL+ALT+") + QChar(char16_t(keysym));
}

} // namespace

HotKeyRegistry::HotKeyRegistry(std::unique_ptr<HotKeyGrabber> grabber,
                               std::unique_ptr<ShortcutService> service)
    : grabber_(std::move(grabber))
    , service_(std::move(service))
{
    if (service_) {
        service_->listen([this](const QString& name) { activated(name); });
    }
}

HotKeyRegistry::~HotKeyRegistry() = default;

HotKeyRegistry& HotKeyRegistry::shared()
{
    // Hot keys live as long as the process; the registry is never torn down, so no key event
    // can reach a half-destroyed registry while the application exits.
    static auto* registry = new HotKeyRegistry(makeX11HotKeyGrabber(), makePortalShortcutService());
    return *registry;
}

void HotKeyRegistry::registerHotKey(quint32 keysym, quint32 id, HotKeyAction action,
                                    const HotKeyName& name)
{
    actions_[id] = std::move(action);
    HotKeyRef ref;
    ref.id = id;
    // X grabs are kept beside the service: they still work in the program's own windows
    // while the service is asked, or when it turns out not to exist.
    grabOnX(keysym, &ref);
    refs_.push_back(ref);
    if (service_ && !name.id.isEmpty()) {
        names_[name.id] = id;
        bindLater(keysym, name);
    } else if (!service_) {
        settle(grabber_->reachesEveryWindow() ? Reach::EveryWindow : Reach::OwnWindowsOnly);
    }
}

void HotKeyRegistry::grabOnX(quint32 keysym, HotKeyRef* ref)
{
    const bool available = grabber_->available();
    if (available && !listening_) {
        grabber_->listen([this](quint32 keycode) { pressed(keycode); });
        listening_ = true;
    }
    if (!available) {
        if (!reportedUnavailable_) {
            platform::log(
                QStringLiteral("Quillhaven: global hot keys are unavailable without an X server"));
            reportedUnavailable_ = true;
        }
        return;
    }
    const int status = grabber_->grab(keysym, &ref->keycode);
    ref->registered = status == 0;
    if (status != 0) {
        platform::log(QStringLiteral("Quillhaven: hotkey %1 is taken by another app (%2)")
                          .arg(ref->id)
                          .arg(status));
    }
}

void HotKeyRegistry::bindLater(quint32 keysym, const HotKeyName& name)
{
    toBind_.push_back({name.id, name.description, trigger(keysym)});
    if (bindPending_) {
        return;
    }
    // Keys registered together go to the service as one set, which it binds in one go.
    bindPending_ = true;
    QTimer::singleShot(0, this, [this] {
        bindPending_ = false;
        service_->bind(toBind_, [this](const QString& reason) { bound(reason); });
    });
}

void HotKeyRegistry::bound(const QString& reason)
{
    if (reason.isEmpty()) {
        serviceOwnsKeys_ = true;
        settle(Reach::EveryWindow);
        return;
    }
    const bool everywhere = grabber_->reachesEveryWindow();
    if (!everywhere) {
        platform::log(QStringLiteral("Quillhaven: global hot keys work only while a Quillhaven "
                                     "window has the keyboard: ") +
                      reason);
    }
    settle(everywhere ? Reach::EveryWindow : Reach::OwnWindowsOnly);
}

void HotKeyRegistry::settle(Reach reach)
{
    if (reach_ == reach) {
        return;
    }
    reach_ = reach;
    Q_EMIT reachSettled();
}

void HotKeyRegistry::pressed(quint32 keycode)
{
    if (serviceOwnsKeys_) {
        return;
    }
    for (const HotKeyRef& ref : refs_) {
        if (ref.registered && ref.keycode == keycode) {
            run(ref.id);
            return;
        }
    }
}

void HotKeyRegistry::activated(const QString& name)
{
    const auto found = names_.find(name);
    if (found != names_.end()) {
        run(found->second);
    }
}

void HotKeyRegistry::run(quint32 id)
{
    // The action is looked up when it runs, so a replaced action is the one that fires.
    QMetaObject::invokeMethod(
        this,
        [this, id] {
            const auto found = actions_.find(id);
            if (found != actions_.end() && found->second) {
                found->second();
            }
        },
        Qt::QueuedConnection);
}

void registerHotKey(quint32 keysym, quint32 id, HotKeyAction action, const HotKeyName& name)
{
    HotKeyRegistry::shared().registerHotKey(keysym, id, std::move(action), name);
}
