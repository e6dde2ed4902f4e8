#include "pad/PadText.h"

#include "model/NoteModel.h"
#include "paint/Palette.h"

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

QString titleText(const NoteModel* hovered, int tuckedCount)
{
    if (hovered != nullptr) {
        return hovered->title();
    }
    if (tuckedCount > 0) {
        return QString::number(tuckedCount) +
               (tuckedCount == 1 ? QStringLiteral(" Note") : QStringLiteral(" Notes"));
    }
    return QStringLiteral("New Note");
}

HintLine hintLine(bool padHot, bool savedFlash, bool cardHovered)
{
    if (padHot) {
        return {QStringLiteral("Release to tuck away"), paint::whiteAt(0.55)};
    }
    if (savedFlash) {
        return {QStringLiteral("Saved"), highlight()};
    }
    if (cardHovered) {
        return {QStringLiteral("Click to open on screen"), paint::whiteAt(0.55)};
    }
    return {QStringLiteral("Pull down or click"), paint::whiteAt(0.55)};
}

} // namespace pad
