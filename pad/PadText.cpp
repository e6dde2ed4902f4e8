#include "pad/PadText.h"

#include "model/NoteModel.h"
#include "paint/Palette.h"

#include <QCoreApplication>

namespace pad {

QFont systemFont(const QFont& base, double size, bool semibold, double logicalDpi)
{
    QFont f = base;
    f.setPointSizeF(size * 72.0 / (logicalDpi > 0 ? logicalDpi : 96.0));
    f.setWeight(semibold ? QFont::DemiBold : QFont::Normal);
    return f;
}

QColor highlight(double alpha)
{
    return QColor::fromRgbF(1.0f, 0.84f, 0.04f, static_cast<float>(alpha));
}

QColor warning()
{
    return QColor::fromRgbF(1.0f, 0.45f, 0.36f);
}

QString titleText(const NoteModel* hovered, int tuckedCount)
{
    if (hovered != nullptr) {
        return hovered->title();
    }
    if (tuckedCount > 0) {
        return tuckedCount == 1 ? QCoreApplication::translate("Pad", "1 Note")
                                : QCoreApplication::translate("Pad", "%1 Notes").arg(tuckedCount);
    }
    return QCoreApplication::translate("Pad", "New Note");
}

HintLine recoveredLine(int recovered)
{
    const QString text =
        recovered == 0   ? QCoreApplication::translate("Pad", "Notes file unreadable")
        : recovered == 1 ? QCoreApplication::translate("Pad", "1 note recovered")
                         : QCoreApplication::translate("Pad", "%1 notes recovered").arg(recovered);
    return {text, highlight()};
}

HintLine hintLine(bool padHot, bool savedFlash, bool cardHovered, const QString& saveFailure)
{
    if (padHot) {
        return {QCoreApplication::translate("Pad", "Release to tuck away"), paint::whiteAt(0.55)};
    }
    if (!saveFailure.isEmpty()) {
        // The line has room for little more; the dashboard says why and where.
        return {QCoreApplication::translate("Pad", "Not saved"), warning()};
    }
    if (savedFlash) {
        return {QCoreApplication::translate("Pad", "Saved"), highlight()};
    }
    if (cardHovered) {
        return {QCoreApplication::translate("Pad", "Click to open on screen"),
                paint::whiteAt(0.55)};
    }
    return {QCoreApplication::translate("Pad", "Pull down or click"), paint::whiteAt(0.55)};
}

} // namespace pad
