#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace platform {

class Desktop;
class Notifications;

// Every collaborator the program reaches outside itself through and tests replace, in one
// place. An empty member stands for the real one. Only ground-level types live here; the
// layers above convert (a sound effect travels as its enum's value).
struct Services {
    // The desktop; not owned.
    Desktop* desktop = nullptr;
    // The notes file; empty: notes.json in the user's data folder.
    QString notesFile;
    // This computer's own folder, never synced, for where its notes sit on its screen. Empty:
    // Quillhaven in the XDG state folder, or none at all while `notesFile` is set (a test's
    // notes, which must not reach into the real home).
    QString stateFolder;
    // A uniform draw from the closed range [lo, hi]; empty: the system's random source.
    std::function<double(double lo, double hi)> uniform;
    // Asks the user for image files; returns the chosen paths (empty when cancelled). Empty:
    // the file dialog.
    std::function<QStringList(const QString& message)> chooseImages;
    // Starts the interactive capture writing a PNG to `file`; `finished` runs on the main
    // thread when the capture ends, whatever its outcome. Returns false (with a reason) when
    // the capture cannot start. Empty: the capture child process.
    using CaptureLauncher =
        std::function<bool(const QString& file, std::function<void()> finished, QString* error)>;
    CaptureLauncher launchCapture;
    // Asks for a folder, starting in `start`; calls `chosen` with it, later or at once, or
    // never when cancelled. Empty: the folder dialog, without waiting.
    std::function<void(const QString& title, const QString& start,
                       std::function<void(const QString& folder)> chosen)>
        chooseFolder;
    // Asks where to save, starting at the proposed path; empty when cancelled. Empty: the save
    // dialog.
    std::function<QString(const QString& proposedPath)> chooseSaveFile;
    // Tells the user something went wrong: a headline and the reason. Empty: a message box.
    std::function<void(const QString& text, const QString& reason)> showError;
    // Hears every sound effect as it starts (the sound still plays).
    std::function<void(int effect)> soundPlayed;
    // Waits `ms` on the saving thread while a notes file another program writes settles.
    // Empty: sleeps.
    std::function<void(int ms)> settlePause;
    // The desktop's notifications; not owned. Empty: those on the session bus.
    Notifications* notifications = nullptr;
};

// The services in force.
const Services& services();

// Counts installations: whatever a module remembers about the world it worked in (what the
// notes file looked like) is forgotten when the services change under it.
int servicesGeneration();

// Installs `replacement` for its lifetime and then puts back what was there. Guards nest and
// must end in the reverse order of their making, as scoped objects do.
class ServicesGuard {
public:
    explicit ServicesGuard(Services replacement);
    ~ServicesGuard();
    ServicesGuard(const ServicesGuard&) = delete;
    ServicesGuard& operator=(const ServicesGuard&) = delete;

    // The installed services, to change one of them while the guard stands.
    Services& installed();

private:
    Services previous_;
};

} // namespace platform
