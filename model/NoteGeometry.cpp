#include "model/NoteGeometry.h"

#include "model/Images.h"
#include "model/NoteData.h"
#include "model/NoteModel.h"

#include <QGuiApplication>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace geometry {

namespace {

double scale = 1.0;

constexpr double imageGap = 6;
constexpr double imageSideMargin = 20;

// Height of the note's text at the note font, wrapped to `width`.
double textHeight(const QString& text, double width)
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(textPixelSize());
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

void keepWithinLimits(NoteData& record)
{
    if (record.pw) {
        record.pw = std::clamp(*record.pw, minW, maxW);
    }
    if (record.ph) {
        const bool pictures = record.images && !record.images->isEmpty();
        const double lowest = pictures ? minPaperHWithImages : minTotal;
        record.ph = std::clamp(*record.ph, lowest, maxPaperH);
    }
    record.x = std::clamp(record.x, -farthest, farthest);
    record.y = std::clamp(record.y, -farthest, farthest);
}

double maxTotal(double screenHeight)
{
    return std::min(screenHeight - 140, 800.0);
}

double minPaperH(const NoteModel* note)
{
    return note->images().isEmpty() && note->incoming().isEmpty() ? minTotal : minPaperHWithImages;
}

namespace {

double heightAt(QSize size, double width)
{
    if (size.width() <= 0 || size.height() <= 0) {
        return 60;
    }
    const double h = size.height() * width / size.width();
    return std::isfinite(h) ? std::clamp(h, 50.0, 260.0) : 60;
}

} // namespace

double imageHeight(const QString& name, double width)
{
    // From the header: laying a note out never decodes its pictures.
    return heightAt(Images::shownSize(name), width);
}

double imageWidth(double paperW)
{
    return paperW - imageSideMargin;
}

QSize imagePixels(QSize size, double paperW, double devicePixelRatio)
{
    // Rounded as the strip sizes its tiles, then scaled as a tile counts its pixels.
    const double width = imageWidth(paperW);
    const QSizeF logical(std::round(width), std::round(heightAt(size, width)));
    return (logical * devicePixelRatio).toSize();
}

double incomingHeight(QSize header, double width)
{
    return heightAt(header, width);
}

double stripH(const NoteModel* note)
{
    const double width = imageWidth(note->paperW());
    double sum = 0;
    for (const QString& name : note->images()) {
        sum += imageHeight(name, width) + imageGap;
    }
    for (const QSize header : note->incoming()) {
        sum += incomingHeight(header, width) + imageGap;
    }
    return sum;
}

double totalH(const NoteModel* note, double maxTotal)
{
    const double sum = note->paperH() + stripH(note);
    return std::min(std::max(std::isfinite(sum) ? sum : minTotal, minTotal), maxTotal);
}

double imagesAreaH(const NoteModel* note, double maxTotal)
{
    if (note->images().isEmpty() && note->incoming().isEmpty()) {
        return 0;
    }
    return std::min(std::max(totalH(note, maxTotal) - 26 - 90, 0.0), stripH(note));
}

double winW(const NoteModel* note)
{
    return note->paperW() + 2 * inset;
}

double winH(const NoteModel* note, double maxTotal)
{
    return totalH(note, maxTotal) + 2 * inset;
}

double fittedPaperH(const NoteModel* note)
{
    const double text = textHeight(note->text(), note->paperW() - 32);
    return std::clamp(text + 26 + 30, minPaperH(note), maxPaperH);
}

double textScale()
{
    return scale;
}

void setTextScale(double wanted)
{
    // Only the steps offered: a stored value from elsewhere cannot make the text unreadable.
    const double* nearest = std::min_element(
        std::begin(textScales), std::end(textScales),
        [wanted](double a, double b) { return std::abs(a - wanted) < std::abs(b - wanted); });
    scale = std::isfinite(wanted) ? *nearest : 1.0;
}

int textPixelSize(int usual)
{
    return static_cast<int>(std::lround(usual * scale));
}

} // namespace geometry
