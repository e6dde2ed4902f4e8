#pragma once

#include <QObject>
#include <QtGlobal>
#include <functional>
#include <map>
#include <memory>
#include <vector>

// System-wide key combinations: Ctrl+Alt+key, whichever application is in front.

using HotKeyAction = std::function<void()>;

// The window-system side of hot keys, kept small so the bookkeeping can be tested without a
// display. The real one grabs keys on the X11 root window.
class HotKeyGrabber {
public:
    virtual ~HotKeyGrabber() = default;

    // False when there is no X connection (another platform, or no display at all).
    virtual bool available() const = 0;
    // Starts reporting presses of grabbed combinations, by key code.
    virtual void listen(std::function<void(quint32 keycode)> pressed) = 0;
    // Grabs Ctrl+Alt+keysym. Returns 0, or the window system's error code when the
    // combination is refused (then nothing of it stays grabbed). Sets the key code used.
    virtual int grab(quint32 keysym, quint32* keycode) = 0;
};

// One registration, kept for the life of the process whether or not it succeeded.
struct HotKeyRef {
    quint32 id = 0;
    quint32 keycode = 0;
    bool registered = false;
};

class HotKeyRegistry {
public:
    explicit HotKeyRegistry(std::unique_ptr<HotKeyGrabber> grabber);
    ~HotKeyRegistry();

    void registerHotKey(quint32 keysym, quint32 id, HotKeyAction action);

    const std::map<quint32, HotKeyAction>& hotKeyActions() const { return actions_; }
    const std::vector<HotKeyRef>& hotKeyRefs() const { return refs_; }

    // The registry of the running program, on the real window system.
    static HotKeyRegistry& shared();

private:
    void pressed(quint32 keycode);

    QObject context_; // queued actions die with the registry
    std::unique_ptr<HotKeyGrabber> grabber_;
    std::map<quint32, HotKeyAction> actions_;
    std::vector<HotKeyRef> refs_;
    bool listening_ = false;
    bool reportedUnavailable_ = false;
};

// Registers Ctrl+Alt+key (an X keysym; for letters, the lower-case character) under `id`.
// The action runs on the main thread, after the key event has been handled. A combination
// another program holds is logged and left out; registering an id again replaces its action.
void registerHotKey(quint32 keysym, quint32 id, HotKeyAction action);

// The X11 grabber for the running application's display.
std::unique_ptr<HotKeyGrabber> makeX11HotKeyGrabber();
