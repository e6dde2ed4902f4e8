#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QSizeF>
#include <array>

// Where everything sits on the pad. All rectangles are in the island's own coordinates: origin
// at its top-left corner (on the screen's top edge), y down.
namespace pad {

// The pad window: 340 wide and 250 taller than the notch.
constexpr double windowW = 340;
constexpr double belowNotch = 250;

constexpr double cardW = 90;
constexpr double cardH = 92;
constexpr int maxCards = 3;
constexpr double buttonSide = 24;
constexpr int buttonCount = 3;
constexpr double miniStackSide = 26;

// What the island holds, derived from the controller and the pointer.
struct IslandContent {
    bool hot = false;     // the pointer is over the island or a note is dragged over the notch
    bool buttons = false; // the header's three buttons (absent while a note is dragged over)
    bool clip = false;    // the clipboard-image offer
    int cards = 0;        // peek cards in the row, 0 to 3
};

QSizeF islandSize(double notchH, const IslandContent& content);
double islandRadius(bool hot);

// The island outline: square top corners, continuous bottom corners of radius r.
QPainterPath islandPath(const QSizeF& size, double radius);

// The expanded content laid out in an island of the given size.
struct ExpandedLayout {
    QRectF miniStack;
    QRectF text; // title above hint
    std::array<QRectF, buttonCount> buttons;
    QRectF clip;
    QRectF clipImage;
    QRectF clipText;
    std::array<QRectF, maxCards> cards;
};
ExpandedLayout layoutExpanded(const QSizeF& island, double notchH, const IslandContent& content);

// The thin paper-coloured line of the collapsed island.
QRectF collapsedLine(const QSizeF& island);

} // namespace pad
