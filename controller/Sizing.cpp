#include "controller/AppController.h"
#include "controller/Gestures.h"
#include "controller/NoteSizes.h"
#include "model/NoteGeometry.h"
#include "motion/Motion.h"
#include "platform/Desktop.h"
#include "sound/Sound.h"
#include "windows/Panel.h"

#include <QKeyEvent>
#include <QSettings>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

bool isFinite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

} // namespace

double NoteSizes::maxTotal() const
{
    return geometry::maxTotal(app_.screen().height());
}

double NoteSizes::imageHeight(const QString& name, double width) const
{
    return geometry::imageHeight(name, width);
}

double NoteSizes::stripH(const NoteModel* note) const
{
    return geometry::stripH(note);
}

double NoteSizes::totalH(const NoteModel* note) const
{
    return geometry::totalH(note, maxTotal());
}

double NoteSizes::imagesAreaH(const NoteModel* note) const
{
    return geometry::imagesAreaH(note, maxTotal());
}

double NoteSizes::winW(const NoteModel* note) const
{
    return geometry::winW(note);
}

double NoteSizes::winH(const NoteModel* note) const
{
    return geometry::winH(note, maxTotal());
}

void NoteSizes::resize(NoteModel* note, bool animated)
{
    Panel* panel = app_.window(note);
    if (panel == nullptr) {
        return;
    }
    const QRectF current = panel->frame();
    const double w = winW(note);
    const double h = winH(note);
    if (current.width() == w && current.height() == h) {
        return;
    }
    // The window keeps its left and top edges: it grows down and to the right.
    QRectF target(current.x(), current.y() + current.height() - h, w, h);
    if (!isFinite(target.topLeft()) || !std::isfinite(w) || !std::isfinite(h)) {
        return;
    }
    if (animated) {
        target = keptOnScreen(target);
        motion::animateWindowFrame(panel, target, motion::defaultTiming(0.2));
    } else {
        motion::cancelWindowFrame(panel); // a set frame wins over one still on its way
        panel->setFrame(target);
    }
    note->origin = target.topLeft();
}

QRectF NoteSizes::keptOnScreen(const QRectF& frame) const
{
    // A note that grows past the bottom of the visible area moves up just enough that all of
    // its paper shows, never so far that its top leaves the screen.
    const QRectF visible = platform::desktop().visibleFrame();
    const double paperBottom = frame.y() + geometry::inset;
    const double paperTop = frame.y() + frame.height() - geometry::inset;
    const double room = visible.y() + visible.height() - paperTop;
    const double lift = std::min(visible.y() - paperBottom, room);
    return lift > 0 ? frame.translated(0, lift) : frame;
}

void NoteSizes::setSize(NoteModel* note, double w, double h)
{
    if (!std::isfinite(w) || !std::isfinite(h)) {
        return;
    }
    note->setPaperW(w);
    note->setPaperH(h);
    resize(note, true);
    app_.save();
    Sound::shared().play(Sound::Effect::Pat);
}

void NoteSizes::fitToContent(NoteModel* note)
{
    note->setPaperH(geometry::fittedPaperH(note));
    resize(note, true);
    app_.save();
    Sound::shared().play(Sound::Effect::Pat);
}

namespace {
const char* const textScaleKey = "notes/textScale";
} // namespace

void NoteSizes::stepTextScale(int step)
{
    const auto* steps = std::begin(geometry::textScales);
    const auto count = std::size(geometry::textScales);
    const auto at = std::find(steps, steps + count, geometry::textScale()) - steps;
    const double scale =
        step == 0 ? 1.0
                  : steps[std::clamp<std::ptrdiff_t>(at + step, 0, std::ptrdiff_t(count) - 1)];
    if (scale == geometry::textScale()) {
        return;
    }
    app_.publish(AppController::Field::TextScale, [scale] { geometry::setTextScale(scale); });
    QSettings().setValue(textScaleKey, scale);
}

void NoteSizes::loadTextScale()
{
    geometry::setTextScale(QSettings().value(textScaleKey, 1.0).toDouble());
}

std::optional<int> NoteSizes::textSizeStep(const QKeyEvent& key)
{
    if (!(key.modifiers() & Qt::ControlModifier)) {
        return std::nullopt;
    }
    switch (key.key()) {
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        return 1;
    case Qt::Key_Minus:
        return -1;
    case Qt::Key_0:
        return 0;
    default:
        return std::nullopt;
    }
}

bool Gestures::resizeHook(NoteModel* note, ResizePhase phase, int clickCount)
{
    if (note == nullptr || note->folded() || app_.window(note) == nullptr) {
        return false;
    }
    NoteSizes& sizes = app_.sizes();
    const QPointF p = platform::desktop().mouseLocation();
    switch (phase) {
    case ResizePhase::Down:
        if (clickCount >= 2) {
            sizes.setSize(note, 220, 220);
        } else if (isFinite(p)) {
            state_ = gestures::step(
                state_, gestures::ResizePressed{{p, note->paperW(), sizes.totalH(note)}});
        }
        break;
    case ResizePhase::Dragged:
        if (const auto* start = std::get_if<gestures::Resize>(&state_); start && isFinite(p)) {
            note->setPaperW(
                std::clamp(start->w + (p.x() - start->mouse.x()), geometry::minW, geometry::maxW));
            // Dragging down makes the note taller.
            const double total =
                std::min(std::max(start->total + (start->mouse.y() - p.y()), geometry::minTotal),
                         sizes.maxTotal());
            note->setPaperH(std::max(total - sizes.stripH(note), geometry::minPaperH(note)));
            sizes.resize(note, false);
            note->setSizeBadge(QString::number(static_cast<qint64>(note->paperW())) +
                               QStringLiteral(" \u00D7 ") +
                               QString::number(static_cast<qint64>(sizes.totalH(note))));
        }
        break;
    case ResizePhase::Up: {
        state_ = gestures::step(state_, gestures::ResizeReleased{});
        app_.save();
        // Cleared even when a new gesture has begun in between.
        motion::after(
            0.7, [note] { note->setSizeBadge(std::nullopt); }, note);
        break;
    }
    case ResizePhase::Other:
        break;
    }
    return true;
}
