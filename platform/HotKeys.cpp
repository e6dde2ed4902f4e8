#include "platform/HotKeys.h"

#include "platform/Log.h"

#include <QMetaObject>

HotKeyRegistry::HotKeyRegistry(std::unique_ptr<HotKeyGrabber> grabber)
    : grabber_(std::move(grabber))
{
}

HotKeyRegistry::~HotKeyRegistry() = default;

HotKeyRegistry& HotKeyRegistry::shared()
{
    // Hot keys live as long as the process; the registry is never torn down, so no key event
    // can reach a half-destroyed registry while the application exits.
    static auto* registry = new HotKeyRegistry(makeX11HotKeyGrabber());
    return *registry;
}

void HotKeyRegistry::registerHotKey(quint32 keysym, quint32 id, HotKeyAction action)
{
    const bool available = grabber_->available();
    if (available && !listening_) {
        grabber_->listen([this](quint32 keycode) { pressed(keycode); });
        listening_ = true;
    }
    actions_[id] = std::move(action);

    HotKeyRef ref;
    ref.id = id;
    if (!available) {
        refs_.push_back(ref);
        if (!reportedUnavailable_) {
            platform::log(
                QStringLiteral("Quillhaven: global hot keys are unavailable without an X server"));
            reportedUnavailable_ = true;
        }
        return;
    }
    const int status = grabber_->grab(keysym, &ref.keycode);
    ref.registered = status == 0;
    refs_.push_back(ref);
    if (status != 0) {
        platform::log(QStringLiteral("Quillhaven: hotkey %1 is taken by another app (%2)")
                          .arg(id)
                          .arg(status));
    }
}

void HotKeyRegistry::pressed(quint32 keycode)
{
    for (const HotKeyRef& ref : refs_) {
        if (!ref.registered || ref.keycode != keycode) {
            continue;
        }
        // The action is looked up when it runs, so a replaced action is the one that fires.
        const quint32 id = ref.id;
        QMetaObject::invokeMethod(
            &context_,
            [this, id] {
                const auto found = actions_.find(id);
                if (found != actions_.end() && found->second) {
                    found->second();
                }
            },
            Qt::QueuedConnection);
        return;
    }
}

void registerHotKey(quint32 keysym, quint32 id, HotKeyAction action)
{
    HotKeyRegistry::shared().registerHotKey(keysym, id, std::move(action));
}
