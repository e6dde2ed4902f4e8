#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

class QPainter;
class QRectF;
class QWidget;

// The dashboard's own colours in the desktop's light or dark appearance. The note editor keeps
// the light ones whichever it is: it sits on the note's paper, which keeps its colour.
namespace dash {

struct Theme {
    QColor sidebar;
    QColor list;
    QColor text;
    QColor notice;
    QColor divider;
    QColor tag;
};

const Theme& theme(bool dark);

// The toolkit's palette (for its accent) with every colour a text is drawn in or on taken from
// `theme`, so no role is left over from the other appearance.
QPalette palette(const Theme& theme, QPalette base);

// Gives `widget` and every widget inside it the colours of `palette` that it has not set itself,
// explicitly: a class palette of the platform theme, or a style sheet on the way, would
// otherwise put the theme's own text colour back on a ground of ours.
void holdPalette(QWidget* widget, const QPalette& palette);

// The ring that shows where the keyboard is, on a rounded rectangle, in the palette's accent.
void paintFocusRing(QPainter& p, const QRectF& rect, double radius, const QPalette& palette);

// Whether a palette draws light text on a dark ground: widgets that paint fills and rules of
// their own choose them by it.
bool isDark(const QPalette& palette);

// `color` at an opacity from 0 to 1: washes and rules in the text's colour read on either ground.
QColor faint(QColor color, double alpha);
// The colour as a style sheet spells it, with its opacity.
QString css(const QColor& color);

} // namespace dash
