#include "dashboard/Theme.h"

#include "paint/Palette.h"
#include "paint/Shapes.h"

#include <QPen>
#include <QWidget>

namespace dash {

const Theme& theme(bool dark)
{
    static const Theme light{
        .sidebar = QColor(238, 236, 232),
        .list = QColor(251, 250, 248),
        .text = paint::ink,
        .notice = QColor(246, 239, 210),
        .divider = QColor(216, 213, 207),
        .tag = QColor(122, 92, 0),
    };
    static const Theme night{
        .sidebar = QColor(43, 42, 40),
        .list = QColor(30, 30, 29),
        .text = QColor(236, 233, 227),
        .notice = QColor(72, 63, 36),
        .divider = QColor(64, 62, 58),
        .tag = QColor(230, 186, 60),
    };
    return dark ? night : light;
}

QPalette palette(const Theme& theme, QPalette base)
{
    const QColor dim = faint(theme.text, 0.5);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        base.setColor(group, QPalette::Window, theme.list);
        base.setColor(group, QPalette::Base, theme.list);
        base.setColor(group, QPalette::AlternateBase, theme.sidebar);
        base.setColor(group, QPalette::Button, theme.sidebar);
        base.setColor(group, QPalette::WindowText, theme.text);
        base.setColor(group, QPalette::Text, theme.text);
        base.setColor(group, QPalette::ButtonText, theme.text);
        base.setColor(group, QPalette::PlaceholderText, dim);
        base.setColor(group, QPalette::ToolTipBase, theme.notice);
        base.setColor(group, QPalette::ToolTipText, theme.text);
    }
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        base.setColor(QPalette::Disabled, role, dim);
    }
    base.setColor(QPalette::Disabled, QPalette::Window, theme.list);
    base.setColor(QPalette::Disabled, QPalette::Base, theme.list);
    base.setColor(QPalette::Disabled, QPalette::Button, theme.sidebar);
    return base;
}

void holdPalette(QWidget* widget, const QPalette& palette)
{
    widget->setPalette(widget->palette().resolve(palette));
    for (QObject* child : widget->children()) {
        auto* inner = qobject_cast<QWidget*>(child);
        if (inner && !inner->isWindow()) {
            holdPalette(inner, palette);
        }
    }
}

void paintFocusRing(QPainter& p, const QRectF& rect, double radius, const QPalette& palette)
{
    paint::strokeInside(p, rect, radius, QPen(palette.color(QPalette::Highlight), 2));
}

bool isDark(const QPalette& palette)
{
    return palette.color(QPalette::WindowText).lightness() >
           palette.color(QPalette::Window).lightness();
}

QColor faint(QColor color, double alpha)
{
    color.setAlphaF(float(alpha));
    return color;
}

QString css(const QColor& color)
{
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alpha());
}

} // namespace dash
