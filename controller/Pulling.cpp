#include "controller/AppController.h"
#include "controller/Gestures.h"
#include "controller/NoteSizes.h"
#include "model/NoteGeometry.h"
#include "motion/Motion.h"
#include "platform/Desktop.h"
#include "platform/Services.h"
#include "sound/Sound.h"
#include "windows/Panel.h"

#include <QRandomGenerator>
#include <cmath>
#include <limits>

namespace {

constexpr double pulledPeel = 65;    // curl of a note as it leaves the pad
constexpr double peelPerPoint = 0.6; // flattens after about 108 points of downward travel
constexpr double paperAbovePointer = 14;
constexpr double clickDistance = 6; // a pull that moved less than this was a click
constexpr double landingPress = 1.015;

double closedUniform(double lo, double hi)
{
    const double u = static_cast<double>(QRandomGenerator::global()->generate()) /
                     std::numeric_limits<quint32>::max();
    return lo + (hi - lo) * u;
}

// Fresh off the pad: curled, upright, whole.
void resetForPull(NoteModel* note)
{
    note->setPeel(pulledPeel);
    note->setTilt(0);
    note->setScale(1);
    note->setOpacity(1);
    note->setCrumpled(false);
}

} // namespace

double Gestures::uniform(double lo, double hi)
{
    const auto& draw = platform::services().uniform;
    return draw ? draw(lo, hi) : closedUniform(lo, hi);
}

NoteModel* Gestures::pulling() const
{
    const auto* pull = std::get_if<gestures::Pull>(&state_);
    return pull != nullptr ? pull->note.data() : nullptr;
}

// The window is centred on the pointer with the paper's top edge 14 above it.
QPointF Gestures::pulledOrigin(const NoteModel* note, QPointF pointer) const
{
    const NoteSizes& sizes = app_.sizes();
    return {pointer.x() - sizes.winW(note) / 2,
            pointer.y() + paperAbovePointer + geometry::inset - sizes.winH(note)};
}

void Gestures::hangFromPointer(Panel* panel, const NoteModel* note, QPointF pointer) const
{
    if (const QPointF origin = pulledOrigin(note, pointer); gestures::isFinite(origin)) {
        panel->setFrameOrigin(origin);
    }
}

void Gestures::padDragChanged()
{
    const QPointF pointer = platform::desktop().mouseLocation();
    const double x = pointer.x();
    const double y = pointer.y();

    if (pulling() == nullptr) {
        const QList<NoteModel*> peek = app_.peekNotes();
        NoteModel* note =
            peek.isEmpty() ? app_.newNote(std::nullopt, QStringLiteral("yellow")) : peek.first();
        if (note == nullptr) {
            return;
        }
        note->setOnScreen(true);
        resetForPull(note);
        gestures::setOrigin(note, pulledOrigin(note, pointer));
        app_.show(note);
        // The pad redraws without the note.
        Q_EMIT app_.willChange();
        state_ = gestures::step(state_, gestures::PullTook{note, pointer});
        Sound::shared().play(Sound::Effect::Peel);
    }

    const gestures::Pull pull = std::get<gestures::Pull>(state_);
    NoteModel* note = pull.note;
    Panel* panel = app_.window(note);
    if (panel == nullptr) {
        return;
    }
    hangFromPointer(panel, note, pointer);
    const double dy = std::max(0.0, pull.start.y() - y);
    const double step = x - pull.lastX;
    state_ = gestures::step(state_, gestures::PullMoved{x});
    motion::withAnimation(motion::Animation::spring(0.15, 0.85, 0.25), [&] {
        note->setPeel(std::max(0.0, pulledPeel - peelPerPoint * dy));
        note->setTilt(gestures::swayTilt(note->tilt(), step));
    });
}

void Gestures::padDragEnded(quint64 time)
{
    endPull(gestures::PadReleased{pullOutlivesRelease(), time});
}

void Gestures::endPull(const gestures::GestureEvent& release)
{
    const QPointer<NoteModel> note = pulling();
    const auto* pull = std::get_if<gestures::Pull>(&state_);
    const QPointF start = pull != nullptr ? pull->start : QPointF();
    state_ = gestures::step(state_, release);
    // Over however it ends, so the pad is not kept open by a pull that is gone.
    if (pullUnderWay() || !note || app_.window(note) == nullptr) {
        return;
    }
    const QPointF pointer = platform::desktop().mouseLocation();
    const QPointF moved = pointer - start;
    if (std::hypot(moved.x(), moved.y()) < clickDistance) {
        glideDown(note);
        return;
    }
    // Where it is let go of, even when the last motion before the release was never reported
    // (XWayland under a wlroots compositor, now and then).
    hangFromPointer(app_.window(note), note, pointer);
    land(note);
}

// XWayland under a wlroots compositor lets go of every held button when the pointer enters a
// new X window, which the pulled note's window is, mapped under the pointer. Such a release
// comes over the note's window; the pull then lasts until the raw release. XWayland's letting
// go is raw input as well, at the same time as the pad's release and in either order with it:
// the state step tells the two apart by that time.
bool Gestures::pullOutlivesRelease() const
{
    const auto* pull = std::get_if<gestures::Pull>(&state_);
    const Panel* panel = pull != nullptr && pull->note ? app_.window(pull->note) : nullptr;
    return rawReleases_ && panel != nullptr && !pull->carried &&
           panel->frame().contains(platform::desktop().mouseLocation());
}

void Gestures::primaryReleased(quint64 time)
{
    endPull(gestures::RawReleased{time});
}

void AppController::drop(NoteModel* note)
{
    if (note == nullptr) {
        return;
    }
    if (Panel* panel = window(note); panel != nullptr && note->onScreen()) {
        panel->orderFront();
        panel->makeKey();
        return;
    }
    note->setDeletedAt(std::nullopt);
    note->setOnScreen(true);
    resetForPull(note);
    // Centred under the notch, the top 14 points of the paper still behind it.
    gestures::setOrigin(
        note, QPointF(midX() - sizes_->winW(note) / 2,
                      top() - notchH() + paperAbovePointer + geometry::inset - sizes_->winH(note)));
    show(note);
    Q_EMIT willChange();
    Sound::shared().play(Sound::Effect::Peel);
    gestures_->glideDown(note);
}

void Gestures::glideDown(NoteModel* note)
{
    Panel* panel = app_.window(note);
    if (panel == nullptr) {
        return;
    }
    const NoteSizes& sizes = app_.sizes();
    const double w = sizes.winW(note);
    const double h = sizes.winH(note);
    const double rx = uniform(-240, 240);
    const double ry = uniform(0, 140);
    // The paper's top edge comes to rest 70 to 210 points below the notch.
    const double paperTop = app_.top() - app_.notchH() - 70 - ry;
    const QRectF target(app_.midX() - w / 2 + rx, paperTop - geometry::inset - sizes.totalH(note),
                        w, h);

    const double tilt = uniform(-1.5, 1.5);
    motion::withAnimation(motion::Animation::easeOut(0.5), [note, tilt] {
        note->setPeel(0);
        note->setTilt(tilt);
    });
    const QPointer<AppController> self(&app_);
    const QPointer<NoteModel> gliding(note);
    motion::animateWindowFrame(panel, target, motion::glideCurve(0.5), [self, gliding] {
        if (self && gliding) {
            self->gestures().land(gliding);
        }
    });
}

void Gestures::land(NoteModel* note)
{
    if (note == nullptr) {
        return;
    }
    Sound::shared().play(Sound::Effect::Pat);
    haptic();
    // The note presses onto the screen and settles.
    motion::withAnimation(motion::Animation::none(), [note] { note->setScale(landingPress); });
    motion::withAnimation(motion::Animation::spring(0.45, 0.85, 0), [note] {
        note->setPeel(0);
        note->setTilt(0);
        note->setScale(1);
    });
    Panel* panel = app_.window(note);
    if (panel != nullptr) {
        gestures::setOrigin(note, gestures::frameOrigin(panel->frame()));
    }
    app_.save();
    if (panel != nullptr && note->text().isEmpty()) {
        panel->makeKey();
    }
}

bool Gestures::nearNotch(QPointF p) const
{
    return p.y() > app_.top() - app_.notchH() - 50 && std::abs(p.x() - app_.midX()) < 170;
}
