#pragma once

#include "platform/Session.h"

#include <QString>
#include <QStringList>
#include <functional>

class QImage;

// Where images come from outside the program: the file chooser and the screen capture. Both
// are services (platform/Services.h), so tests choose files and capture regions without a
// modal dialog or a second process.
namespace imagesources {

// Asks the user for image files; returns the chosen paths (empty when cancelled). The folder
// of the files chosen is where the next file dialog opens.
QStringList chooseFiles(const QString& message);
// Starts the interactive capture writing a PNG to `file`; `finished` runs on the main thread
// when the capture ends, whatever its outcome. Returns false (with a reason) when the capture
// cannot start. A capture that ends without an image for another reason than the user's
// cancel has already said so (one log line and a notice) when `finished` runs.
bool launchCapture(const QString& file, std::function<void()> finished, QString* error);

// How the screen's image is taken in a session. An X server grabs its root window; through
// XWayland that image is black, so the desktop's Screenshot portal gives it: with the
// desktop's own region picker where it has one, else the whole screen under the program's
// selection overlay.
enum class CaptureMethod { ScreenGrab, PortalRegion, PortalScreen };
CaptureMethod captureMethod(const platform::SessionKind& session);

// A grab that is all black or all transparent is what a screen without readable content gives
// (the X root of a Wayland session): it never becomes a note.
bool blankImage(const QImage& image);

// The capture child's exit status when it had no screen image; its standard output says why.
constexpr int captureFailedStatus = 3;

// The capture runs as a child copy of this program (with these arguments), so a crash or a
// stuck grab in the overlay can never take the notes down with it. `finished` runs when it
// exits, after a failure it reported has been logged and posted.
bool startCaptureChild(const QStringList& arguments, std::function<void()> finished,
                       QString* error);

// The one log line and the notice of a capture that gave no image.
void reportCaptureFailure(const QString& reason);

// The capture child's word that its selection overlay is up, on its standard error, with the
// time (milliseconds since the epoch): what the user waited for.
constexpr char overlayShownWord[] = "overlay-shown";
// A capture whose overlay took longer than a moment, told apart by its steps: asked at
// `askedMs`, the helper started at `launchedMs` (after the desktop's screen image, where one is
// asked for), the overlay shown as the helper said in `helperErrors`. Empty when it was quick
// or never shown.
QString slowCaptureLine(qint64 askedMs, qint64 launchedMs, const QByteArray& helperErrors);

} // namespace imagesources
