#include "dashboard/AddAnotherButton.h"

#include "paint/Glyphs.h"
#include "paint/Palette.h"
#include "paint/Shapes.h"

#include <QCoreApplication>
#include <QPainter>

AddAnotherButton::AddAnotherButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setText(QCoreApplication::translate("Dashboard", "Add another image"));
    setAccessibleName(text());
    setCursor(Qt::PointingHandCursor);
    setFixedHeight(30);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize AddAnotherButton::sizeHint() const
{
    return {200, 30};
}

void AddAnotherButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect());
    QPen dash(paint::blackAt(underMouse() ? 0.3 : 0.2), 1.5);
    dash.setDashPattern({5 / 1.5, 4 / 1.5});
    paint::strokeInside(p, r, 8, dash);

    QFont f = font();
    f.setPixelSize(12);
    p.setFont(f);
    const QColor secondary = paint::blackAt(0.5);
    const QFontMetricsF metrics(f);
    const double textW = metrics.horizontalAdvance(text());
    const double total = 12 + 5 + textW;
    const double x = (width() - total) / 2;
    paint::paintGlyph(p, paint::Glyph::Plus, QRectF(x, (height() - 12) / 2.0, 12, 12), secondary);
    p.setPen(secondary);
    p.drawText(QRectF(x + 17, 0, textW + 2, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
}
