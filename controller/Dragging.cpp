#include "controller/AppController.h"
#include "controller/Gestures.h"
#include "controller/ViewFactory.h"
#include "motion/Motion.h"
#include "platform/Desktop.h"
#include "sound/Sound.h"
#include "windows/Panel.h"

#include <optional>
#include <utility>

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
    panel->setPaperInset(geometry::inset);
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
    panel->onPasteImage = [weakApp, weakNote] {
        if (weakApp && weakNote) {
            weakApp->pasteImage(weakNote);
        }
    };
    panel->onDismiss = [weakApp, weakNote] {
        if (weakApp && weakNote) {
            weakApp->putBack(weakNote);
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

    std::optional<gestures::Drag>& drag = gesture_.drag;
    if (!drag || drag->note != note) {
        // A loaded machine may report the first move well away from the press; the note is
        // held where it was pressed, not where the pointer had got to by then.
        const QRectF frame = panel->frame();
        const QPointF grab =
            panel->heldPressPoint().value_or(QPointF(x - frame.x(), y - frame.y()));
        drag = gestures::Drag{note, grab, x, {}};
        drag->velocity.start(y, now);
        panel->orderFront();
    }
    drag->velocity.sample(y, now);

    // The window keeps its place under the pointer.
    const QPointF origin = pointer - drag->grab;
    if (gestures::isFinite(origin)) {
        panel->setFrameOrigin(origin);
    }

    const double step = x - drag->lastX;
    drag->lastX = x;
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
    std::optional<gestures::Drag> drag;
    if (gesture_.drag && gesture_.drag->note == note) {
        drag = std::exchange(gesture_.drag, std::nullopt);
    }
    motion::withAnimation(motion::Animation::standard(), [this] { setPadHot(false); });

    // A flick towards the top of the screen sends the note back from anywhere.
    const double now = motion::FrameClock::instance().now();
    if (drag && drag->velocity.vy() > throwSpeed &&
        now - drag->velocity.lastSampleTime() < throwFreshness) {
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
    if (panel == nullptr || !note->onScreen() || dragging() == note || pulling() == note ||
        panel->isResizing()) {
        return;
    }
    gestures::setOrigin(note, gestures::frameOrigin(panel->frame()));
    save();
}
