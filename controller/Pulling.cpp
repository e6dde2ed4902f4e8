#include "controller/AppController.h"
#include "controller/Gestures.h"
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

double AppController::uniform(double lo, double hi)
{
    const auto& draw = platform::services().uniform;
    return draw ? draw(lo, hi) : closedUniform(lo, hi);
}

void AppController::padDragChanged()
{
    const QPointF pointer = platform::desktop().mouseLocation();
    const double x = pointer.x();
    const double y = pointer.y();
    // The window is centred on the pointer with the paper's top edge 14 above it.
    const auto originAt = [this, x, y](const NoteModel* note) {
        return QPointF(x - winW(note) / 2, y + paperAbovePointer + geometry::inset - winH(note));
    };

    gestures::Pull& pull = gesture_.pull;
    if (!pull.note) {
        const QList<NoteModel*> peek = peekNotes();
        NoteModel* note =
            peek.isEmpty() ? newNote(std::nullopt, QStringLiteral("yellow")) : peek.first();
        if (note == nullptr) {
            return;
        }
        note->setOnScreen(true);
        resetForPull(note);
        gestures::setOrigin(note, originAt(note));
        show(note);
        // The pad redraws without the note.
        Q_EMIT willChange();
        pull = gestures::Pull{note, pointer, x};
        Sound::shared().play(Sound::Effect::Peel);
    }

    NoteModel* note = pull.note;
    Panel* panel = window(note);
    if (panel == nullptr) {
        return;
    }
    const QPointF origin = originAt(note);
    if (gestures::isFinite(origin)) {
        panel->setFrameOrigin(origin);
    }
    const double dy = std::max(0.0, pull.start.y() - y);
    const double step = x - pull.lastX;
    pull.lastX = x;
    motion::withAnimation(motion::Animation::spring(0.15, 0.85, 0.25), [&] {
        note->setPeel(std::max(0.0, pulledPeel - peelPerPoint * dy));
        note->setTilt(gestures::swayTilt(note->tilt(), step));
    });
}

void AppController::padDragEnded()
{
    if (pullOutlivesRelease()) {
        gesture_.pull.carried = true;
        return;
    }
    endPull();
}

void AppController::endPull()
{
    // The pull is over however it ends, so the pad is not kept open by a pull that is gone.
    gesture_.pull.carried = false;
    const QPointer<NoteModel> note = gesture_.pull.note;
    gesture_.pull.note.clear();
    if (!note || window(note) == nullptr) {
        return;
    }
    const QPointF moved = platform::desktop().mouseLocation() - gesture_.pull.start;
    if (std::hypot(moved.x(), moved.y()) < clickDistance) {
        glideDown(note);
    } else {
        land(note);
    }
}

// XWayland under a wlroots compositor lets go of every held button when the pointer enters a
// new X window, which the pulled note's window is, mapped under the pointer. Such a release
// comes over the note's window; the pull then lasts until the raw release.
bool AppController::pullOutlivesRelease() const
{
    const Panel* panel = gesture_.pull.note ? window(gesture_.pull.note) : nullptr;
    return crossingReleases_ && panel != nullptr && !gesture_.pull.carried &&
           panel->frame().contains(platform::desktop().mouseLocation());
}

void AppController::primaryReleased()
{
    if (gesture_.pull.carried) {
        endPull();
    }
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
    gestures::setOrigin(note,
                        QPointF(midX() - winW(note) / 2, top() - notchH() + paperAbovePointer +
                                                             geometry::inset - winH(note)));
    show(note);
    Q_EMIT willChange();
    Sound::shared().play(Sound::Effect::Peel);
    glideDown(note);
}

void AppController::glideDown(NoteModel* note)
{
    Panel* panel = window(note);
    if (panel == nullptr) {
        return;
    }
    const double w = winW(note);
    const double h = winH(note);
    const double rx = uniform(-240, 240);
    const double ry = uniform(0, 140);
    // The paper's top edge comes to rest 70 to 210 points below the notch.
    const double paperTop = top() - notchH() - 70 - ry;
    const QRectF target(midX() - w / 2 + rx, paperTop - geometry::inset - totalH(note), w, h);

    const double tilt = uniform(-1.5, 1.5);
    motion::withAnimation(motion::Animation::easeOut(0.5), [note, tilt] {
        note->setPeel(0);
        note->setTilt(tilt);
    });
    const QPointer<AppController> self(this);
    const QPointer<NoteModel> gliding(note);
    motion::animateWindowFrame(panel, target, motion::glideCurve(0.5), [self, gliding] {
        if (self && gliding) {
            self->land(gliding);
        }
    });
}

void AppController::land(NoteModel* note)
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
    Panel* panel = window(note);
    if (panel != nullptr) {
        gestures::setOrigin(note, gestures::frameOrigin(panel->frame()));
    }
    save();
    if (panel != nullptr && note->text().isEmpty()) {
        panel->makeKey();
    }
}

bool AppController::nearNotch(QPointF p) const
{
    return p.y() > top() - notchH() - 50 && std::abs(p.x() - midX()) < 170;
}
