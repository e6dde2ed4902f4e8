#include "pad/PadLayout.h"

#include "paint/Shapes.h"

#include <algorithm>

namespace pad {

namespace {

constexpr double sidePadding = 14;
constexpr double belowHousing = 8; // the content starts this far below the notch
constexpr double stackSpacing = 12;
constexpr double headerH = 26;
constexpr double headerSpacing = 10;
constexpr double clipH = 52;
constexpr double clipPadding = 8;
constexpr double clipImageW = 54;
constexpr double clipImageH = 36;
constexpr double clipSpacing = 9;
constexpr double cardSpacing = 10;

} // namespace

QSizeF islandSize(double notchH, const IslandContent& content)
{
    if (!content.hot) {
        return {150, notchH + 10};
    }
    const double clipExtra = content.clip ? 62 : 0;
    if (content.cards > 0) {
        return {320, notchH + 156 + clipExtra};
    }
    return {content.clip ? 300.0 : 262.0, notchH + 48 + clipExtra};
}

double islandRadius(bool hot)
{
    return hot ? 22 : 10;
}

QPainterPath islandPath(const QSizeF& size, double radius)
{
    return paint::continuousRect(QRectF(QPointF(0, 0), size), 0, 0, radius, radius);
}

ExpandedLayout layoutExpanded(const QSizeF& island, double notchH, const IslandContent& content)
{
    ExpandedLayout l;
    const double left = sidePadding;
    const double right = island.width() - sidePadding;
    double y = notchH + belowHousing;

    l.miniStack = QRectF(left, y, miniStackSide, miniStackSide);
    double buttonsLeft = right + headerSpacing;
    if (content.buttons) {
        for (int i = buttonCount - 1; i >= 0; --i) {
            buttonsLeft -= headerSpacing + buttonSide;
            l.buttons[i] =
                QRectF(buttonsLeft, y + (headerH - buttonSide) / 2, buttonSide, buttonSide);
        }
    }
    const double textLeft = l.miniStack.right() + headerSpacing;
    l.text = QRectF(textLeft, y, std::max(0.0, buttonsLeft - headerSpacing - textLeft), headerH);
    y += headerH + stackSpacing;

    if (content.clip) {
        l.clip = QRectF(left, y, right - left, clipH);
        l.clipImage =
            QRectF(left + clipPadding, y + (clipH - clipImageH) / 2, clipImageW, clipImageH);
        const double textX = l.clipImage.right() + clipSpacing;
        l.clipText = QRectF(textX, y, right - clipPadding - textX, clipH);
        y += clipH + stackSpacing;
    }
    for (int i = 0; i < content.cards && i < maxCards; ++i) {
        l.cards[i] = QRectF(left + i * (cardW + cardSpacing), y, cardW, cardH);
    }
    return l;
}

QRectF collapsedLine(const QSizeF& island)
{
    constexpr double w = 26;
    constexpr double h = 3;
    constexpr double below = 4;
    return {(island.width() - w) / 2, island.height() - below - h, w, h};
}

} // namespace pad
