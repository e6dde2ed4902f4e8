#include "controller/AppController.h"
#include "controller/Gestures.h"
#include "controller/ViewFactory.h"
#include "motion/Motion.h"
#include "platform/Desktop.h"
#include "sound/Sound.h"
#include "windows/Panel.h"

namespace {

// Faster than this upwards (points per second) a released note is thrown into the notch...
constexpr double throwSpeed = 900;
// ...provided the pointer was still moving this recently (seconds) when it let go.
constexpr double throwFreshness = 0.1;
// Scale of a note hovering over the notch, ready to be tucked in.
constexpr double overNotchScale = 0.92;

// The window's callbacks hold the controller and the note weakly: once either is gone they do
// nothing (and the resize hook declines).
void wireCallbacks(Panel* panel, AppController* app, NoteModel* note)
{
    const QPointer<AppController> weakApp(app);
    const QPointer<NoteModel> weakNote(note);
    panel->onDrag = [weakApp, weakNote](bool moving) {
        if (!weakApp || !weakNote) {
            return;
        }
        if (moving) {
            weakApp->noteDragChanged(weakNote);
        } else {
            weakApp->noteDragEnded(weakNote);
        }
    };
    panel->onPasteImage = [weakApp, weakNote](const QImage& image) {
        if (weakApp && weakNote) {
            weakApp->addImage(weakNote, image);
        }
    };
    panel->onMovedBySystem = [weakApp, weakNote] {
        if (weakApp && weakNote) {
            weakApp->followWindow(weakNote);
        }
    };
    panel->resizeHook = [weakApp, weakNote](AppController::MouseEvent type, int clickCount) {
        return weakApp && weakNote && weakApp->resizeHook(weakNote, type, clickCount);
    };
}

} // namespace

void AppController::show(NoteModel* note)
{
    if (note == nullptr) {
        return;
    }
    Panel* panel = window(note);
    if (panel == nullptr) {
        auto created =
            views_->noteWindow(note, this, QRectF(note->origin, QSizeF(winW(note), winH(note))));
        panel = created.get();
        windows_[note] = std::move(created);
        wireCallbacks(panel, this, note);
    }
    panel->setFrameOrigin(note->origin);
    panel->orderFront();
}

void AppController::noteDragChanged(NoteModel* note)
{
    Panel* panel = window(note);
    if (panel == nullptr) {
        return;
    }
    const QPointF pointer = platform::desktop().mouseLocation();
    const double x = pointer.x();
    const double y = pointer.y();
    const double now = motion::FrameClock::instance().now();

    if (!note->grab) {
        const QRectF frame = panel->frame();
        note->grab = QPointF(x - frame.x(), y - frame.y());
        note->lastX = x;
        note->lastY = y;
        note->lastT = now;
        note->vy = 0;
        panel->orderFront();
    }

    // Each sample is averaged half-and-half with the running estimate: it follows the recent
    // motion without keeping a history.
    const double dt = now - note->lastT;
    if (dt > 0) {
        note->vy = note->vy * 0.5 + ((y - note->lastY) / dt) * 0.5;
    }
    note->lastY = y;
    note->lastT = now;

    // The window keeps its place under the pointer.
    const QPointF origin = pointer - *note->grab;
    if (gestures::isFinite(origin)) {
        panel->setFrameOrigin(origin);
    }

    const double step = x - note->lastX;
    note->lastX = x;
    const bool near = nearNotch(pointer);

    motion::withAnimation(motion::Animation::spring(0.15, 0.85, 0.25), [&] {
        note->setTilt(gestures::swayTilt(note->tilt(), step));
        note->setScale(near ? overNotchScale : 1.0);
    });
    if (near != padHot()) {
        motion::withAnimation(motion::Animation::spring(0.35, 0.85, 0), [&] { setPadHot(near); });
    }
}

void AppController::noteDragEnded(NoteModel* note)
{
    if (note == nullptr) {
        return;
    }
    note->grab.reset();
    motion::withAnimation(motion::Animation::standard(), [this] { setPadHot(false); });

    // A flick towards the top of the screen sends the note back from anywhere.
    const double now = motion::FrameClock::instance().now();
    if (note->vy > throwSpeed && now - note->lastT < throwFreshness) {
        putBack(note);
        return;
    }
    if (nearNotch(platform::desktop().mouseLocation())) {
        putBack(note);
        return;
    }

    Sound::shared().play(Sound::Effect::Pat);
    motion::withAnimation(motion::Animation::spring(0.45, 0.85, 0), [note] {
        note->setTilt(0);
        note->setScale(1);
    });
    if (Panel* panel = window(note)) {
        gestures::setOrigin(note, gestures::frameOrigin(panel->frame()));
    }
    save();
}

void AppController::followWindow(NoteModel* note)
{
    Panel* panel = window(note);
    // Mid-gesture the window goes where the gesture takes it; its end stores the place.
    if (panel == nullptr || !note->onScreen() || note->grab || pulling_ == note ||
        panel->isResizing()) {
        return;
    }
    gestures::setOrigin(note, gestures::frameOrigin(panel->frame()));
    save();
}
