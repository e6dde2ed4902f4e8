#include "controller/AppController.h"
#include "controller/Gestures.h"
#include "controller/ImageQueue.h"
#include "controller/NoteSizes.h"
#include "controller/ViewFactory.h"
#include "model/NoteGeometry.h"
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
            weakApp->gestures().noteDragChanged(weakNote);
        } else {
            weakApp->gestures().noteDragEnded(weakNote);
        }
    };
    panel->onPasteImage = [weakApp, weakNote] {
        if (weakApp && weakNote) {
            weakApp->images().pasteImage(weakNote);
        }
    };
    panel->onDismiss = [weakApp, weakNote] {
        if (weakApp && weakNote) {
            weakApp->putBack(weakNote);
        }
    };
    panel->onMovedBySystem = [weakApp, weakNote] {
        if (weakApp && weakNote) {
            weakApp->gestures().followWindow(weakNote);
        }
    };
    panel->resizeHook = [weakApp, weakNote](ResizePhase phase, int clickCount) {
        return weakApp && weakNote && weakApp->gestures().resizeHook(weakNote, phase, clickCount);
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
        auto created = views_->noteWindow(
            note, this, QRectF(note->origin, QSizeF(sizes_->winW(note), sizes_->winH(note))));
        panel = created.get();
        windows_[note] = std::move(created);
        wireCallbacks(panel, this, note);
    }
    panel->setFrameOrigin(note->origin);
    panel->orderFront();
}

NoteModel* Gestures::dragging() const
{
    const auto* drag = std::get_if<gestures::Drag>(&state_);
    return drag != nullptr ? drag->note.data() : nullptr;
}

void Gestures::noteDragChanged(NoteModel* note)
{
    Panel* panel = app_.window(note);
    if (panel == nullptr) {
        return;
    }
    const QPointF pointer = platform::desktop().mouseLocation();
    const double x = pointer.x();
    const double now = motion::FrameClock::instance().now();

    const auto* before = std::get_if<gestures::Drag>(&state_);
    const bool begins = before == nullptr || before->note != note;
    const double lastX = begins ? x : before->lastX;
    QPointF grab;
    if (begins) {
        // A loaded machine may report the first move well away from the press; the note is
        // held where it was pressed, not where the pointer had got to by then.
        const QRectF frame = panel->frame();
        grab = panel->heldPressPoint().value_or(QPointF(x - frame.x(), pointer.y() - frame.y()));
        panel->orderFront();
    }
    state_ = gestures::step(state_, gestures::DragMoved{note, grab, pointer, now});

    // The window keeps its place under the pointer.
    const QPointF origin = pointer - std::get<gestures::Drag>(state_).grab;
    if (gestures::isFinite(origin)) {
        panel->setFrameOrigin(origin);
    }

    const double step = x - lastX;
    const bool near = nearNotch(pointer);

    motion::withAnimation(motion::Animation::spring(0.15, 0.85, 0.25), [&] {
        note->setTilt(gestures::swayTilt(note->tilt(), step));
        note->setScale(near ? overNotchScale : 1.0);
    });
    if (near != app_.padHot()) {
        motion::withAnimation(motion::Animation::spring(0.35, 0.85, 0),
                              [&] { app_.setPadHot(near); });
    }
}

void Gestures::noteDragEnded(NoteModel* note)
{
    if (note == nullptr) {
        return;
    }
    std::optional<gestures::Drag> drag;
    if (const auto* held = std::get_if<gestures::Drag>(&state_); held && held->note == note) {
        drag = *held;
    }
    state_ = gestures::step(state_, gestures::DragEnded{note});
    motion::withAnimation(motion::Animation::standard(), [this] { app_.setPadHot(false); });

    // A flick towards the top of the screen sends the note back from anywhere.
    const double now = motion::FrameClock::instance().now();
    if (drag && drag->velocity.vy() > throwSpeed &&
        now - drag->velocity.lastSampleTime() < throwFreshness) {
        app_.putBack(note);
        return;
    }
    if (nearNotch(platform::desktop().mouseLocation())) {
        app_.putBack(note);
        return;
    }

    Sound::shared().play(Sound::Effect::Pat);
    motion::withAnimation(motion::Animation::spring(0.45, 0.85, 0), [note] {
        note->setTilt(0);
        note->setScale(1);
    });
    if (Panel* panel = app_.window(note)) {
        gestures::setOrigin(note, gestures::frameOrigin(panel->frame()));
    }
    app_.save();
}

void Gestures::followWindow(NoteModel* note)
{
    Panel* panel = app_.window(note);
    // Mid-gesture the window goes where the gesture takes it; its end stores the place.
    if (panel == nullptr || !note->onScreen() || dragging() == note || pulling() == note ||
        panel->isResizing()) {
        return;
    }
    gestures::setOrigin(note, gestures::frameOrigin(panel->frame()));
    app_.save();
}
