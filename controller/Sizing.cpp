#include "controller/AppController.h"
#include "controller/Panel.h"
#include "model/Images.h"
#include "motion/Motion.h"
#include "platform/Desktop.h"
#include "surfaces/Palette.h"
#include "surfaces/Sound.h"

#include <QGuiApplication>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace {

constexpr double imageGap = 6;
constexpr double imageSideMargin = 20;
constexpr double maxPaperH = 800;

// Smallest paper height: a note with images may be shorter, its strip adds the rest.
double minPaperH(const NoteModel* note)
{
    return note->images().isEmpty() ? 120 : 94;
}

bool isFinite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// Height of the note's text at the note font, wrapped to `width`.
double textHeight(const QString& text, double width)
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(14);
    QTextDocument doc;
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0);
    doc.setPlainText(text.isEmpty() ? QStringLiteral(" ") : text);
    QTextBlockFormat spacing;
    spacing.setLineHeight(3, QTextBlockFormat::LineDistanceHeight);
    QTextCursor all(&doc);
    all.select(QTextCursor::Document);
    all.mergeBlockFormat(spacing);
    doc.setTextWidth(std::max(1.0, width));
    return std::min(doc.size().height(), 10000.0);
}

} // namespace

double AppController::maxTotal() const
{
    return std::min(screen_.height() - 140, 800.0);
}

double AppController::imageHeight(const QString& name, double width) const
{
    const QImage image = Images::load(name);
    if (image.isNull() || image.width() <= 0) {
        return 60;
    }
    const double dpr = image.devicePixelRatio();
    const double h = (image.height() / dpr) * width / (image.width() / dpr);
    return std::isfinite(h) ? std::clamp(h, 50.0, 260.0) : 60;
}

double AppController::stripH(const NoteModel* note) const
{
    double sum = 0;
    for (const QString& name : note->images()) {
        sum += imageHeight(name, note->paperW() - imageSideMargin) + imageGap;
    }
    return sum;
}

double AppController::totalH(const NoteModel* note) const
{
    const double sum = note->paperH() + stripH(note);
    // The upper bound wins on a screen too small for both.
    return std::min(std::max(std::isfinite(sum) ? sum : minTotal, minTotal), maxTotal());
}

double AppController::imagesAreaH(const NoteModel* note) const
{
    if (note->images().isEmpty()) {
        return 0;
    }
    return std::min(std::max(totalH(note) - 26 - 90, 0.0), stripH(note));
}

double AppController::winW(const NoteModel* note) const
{
    return note->paperW() + 2 * surfaces::inset;
}

double AppController::winH(const NoteModel* note) const
{
    return totalH(note) + 2 * surfaces::inset;
}

void AppController::resize(NoteModel* note, bool animated)
{
    Panel* panel = window(note);
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

QRectF AppController::keptOnScreen(const QRectF& frame) const
{
    // A note that grows past the bottom of the visible area moves up just enough that all of
    // its paper shows, never so far that its top leaves the screen.
    const QRectF visible = platform::desktop().visibleFrame();
    const double paperBottom = frame.y() + surfaces::inset;
    const double paperTop = frame.y() + frame.height() - surfaces::inset;
    const double room = visible.y() + visible.height() - paperTop;
    const double lift = std::min(visible.y() - paperBottom, room);
    return lift > 0 ? frame.translated(0, lift) : frame;
}

void AppController::setSize(NoteModel* note, double w, double h)
{
    if (!std::isfinite(w) || !std::isfinite(h)) {
        return;
    }
    note->setPaperW(w);
    note->setPaperH(h);
    resize(note, true);
    save();
    Sound::shared().play(Sound::Effect::Pat);
}

void AppController::fitToContent(NoteModel* note)
{
    const double text = textHeight(note->text(), note->paperW() - 32);
    note->setPaperH(std::clamp(text + 26 + 30, minPaperH(note), maxPaperH));
    resize(note, true);
    save();
    Sound::shared().play(Sound::Effect::Pat);
}

bool AppController::resizeHook(NoteModel* note, MouseEvent type, int clickCount)
{
    if (note == nullptr || note->folded() || window(note) == nullptr) {
        return false;
    }
    const QPointF p = platform::desktop().mouseLocation();
    switch (type) {
    case MouseEvent::Down:
        if (clickCount >= 2) {
            setSize(note, 220, 220);
        } else if (isFinite(p)) {
            resizeStart_ = ResizeStart{p, note->paperW(), totalH(note)};
        }
        break;
    case MouseEvent::Dragged:
        if (resizeStart_ && isFinite(p)) {
            const ResizeStart& start = *resizeStart_;
            note->setPaperW(std::clamp(start.w + (p.x() - start.mouse.x()), minW, maxW));
            // Dragging down makes the note taller.
            const double total =
                std::min(std::max(start.total + (start.mouse.y() - p.y()), minTotal), maxTotal());
            note->setPaperH(std::max(total - stripH(note), minPaperH(note)));
            resize(note, false);
            note->setSizeBadge(QString::number(static_cast<qint64>(note->paperW())) +
                               QStringLiteral(" \u00D7 ") +
                               QString::number(static_cast<qint64>(totalH(note))));
        }
        break;
    case MouseEvent::Up: {
        resizeStart_.reset();
        save();
        // Cleared even when a new gesture has begun in between.
        motion::after(
            0.7, [note] { note->setSizeBadge(std::nullopt); }, note);
        break;
    }
    case MouseEvent::Other:
        break;
    }
    return true;
}
