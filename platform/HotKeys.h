#pragma once

#include <QObject>
#include <QString>
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
    // Whether a grab sees the keys whatever window has the keyboard: on a real X server, but
    // not through XWayland, where only X windows' keys reach the X server.
    virtual bool reachesEveryWindow() const = 0;
    // Starts reporting presses of grabbed combinations, by key code.
    virtual void listen(std::function<void(quint32 keycode)> pressed) = 0;
    // Grabs Ctrl+Alt+keysym. Returns 0, or the window system's error code when the
    // combination is refused (then nothing of it stays grabbed). Sets the key code used.
    virtual int grab(quint32 keysym, quint32* keycode) = 0;
};

// How a hot key is named to a desktop that lists the shortcuts of its programs.
struct HotKeyName {
    QString id;          // stable across runs, e.g. "toggle-dashboard"
    QString description; // shown to the user in the desktop's settings
};

// The desktop's own shortcut service (on a Wayland session, the GlobalShortcuts portal): it
// binds named shortcuts for the program and says which one was pressed, whatever window has
// the keyboard.
class ShortcutService {
public:
    struct Shortcut {
        QString id;
        QString description;
        QString trigger; // in the XDG shortcuts syntax, e.g. "CTRL+ALT+n"
    };
    virtual ~ShortcutService() = default;

    // Binds the whole set at once. `done` runs once, later, with an empty reason when bound.
    virtual void bind(const std::vector<Shortcut>& shortcuts,
                      std::function<void(const QString& reason)> done) = 0;
    virtual void listen(std::function<void(const QString& id)> activated) = 0;
};

// One registration, kept for the life of the process whether or not it succeeded.
struct HotKeyRef {
    quint32 id = 0;
    quint32 keycode = 0;
    bool registered = false;
};

// Keys are grabbed on X (where that works) and, when the desktop has a shortcut service, also
// bound there; the service then owns them, so a press is never acted on twice.
class HotKeyRegistry : public QObject {
    Q_OBJECT
public:
    // Whether the hot keys work whatever window has the keyboard.
    enum class Reach {
        Unknown,        // nothing registered yet, or the shortcut service has not answered
        EveryWindow,    // X grabs on a real X server, or bound by the shortcut service
        OwnWindowsOnly, // only while one of the program's windows has the keyboard, or never
    };

    explicit HotKeyRegistry(std::unique_ptr<HotKeyGrabber> grabber,
                            std::unique_ptr<ShortcutService> service = nullptr);
    ~HotKeyRegistry() override;

    void registerHotKey(quint32 keysym, quint32 id, HotKeyAction action,
                        const HotKeyName& name = {});

    const std::map<quint32, HotKeyAction>& hotKeyActions() const { return actions_; }
    const std::vector<HotKeyRef>& hotKeyRefs() const { return refs_; }

    Reach reach() const { return reach_; }
    bool reachesEveryWindow() const { return reach_ == Reach::EveryWindow; }

    // The registry of the running program, on the real window system.
    static HotKeyRegistry& shared();

Q_SIGNALS:
    // The reach is known (it no longer reads Unknown).
    void reachSettled();

private:
    void grabOnX(quint32 keysym, HotKeyRef* ref);
    void bindLater(quint32 keysym, const HotKeyName& name);
    void bound(const QString& reason);
    void settle(Reach reach);
    void pressed(quint32 keycode);
    void activated(const QString& name);
    void run(quint32 id);

    std::unique_ptr<HotKeyGrabber> grabber_;
    std::unique_ptr<ShortcutService> service_;
    std::map<quint32, HotKeyAction> actions_;
    std::vector<HotKeyRef> refs_;
    std::map<QString, quint32> names_; // the service's shortcut id -> hot-key id
    std::vector<ShortcutService::Shortcut> toBind_;
    Reach reach_ = Reach::Unknown;
    bool listening_ = false;
    bool bindPending_ = false;
    bool serviceOwnsKeys_ = false;
    bool reportedUnavailable_ = false;
};

// Registers Ctrl+Alt+key (an X keysym; for letters, the lower-case character) under `id`.
// The action runs on the main thread, after the key event has been handled. A combination
// another program holds is logged and left out; registering an id again replaces its action.
void registerHotKey(quint32 keysym, quint32 id, HotKeyAction action, const HotKeyName& name = {});

// The X11 grabber for the running application's display.
std::unique_ptr<HotKeyGrabber> makeX11HotKeyGrabber();
// The GlobalShortcuts portal on the session bus, when the session is a Wayland one; else null.
std::unique_ptr<ShortcutService> makePortalShortcutService();
