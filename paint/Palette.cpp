#include "paint/Palette.h"

#include <QCoreApplication>

namespace paint {

QColor inkAt(double alpha)
{
    QColor c = ink;
    c.setAlphaF(static_cast<float>(alpha));
    return c;
}

QColor blackAt(double alpha)
{
    return QColor::fromRgbF(0, 0, 0, static_cast<float>(alpha));
}

QColor whiteAt(double alpha)
{
    return QColor::fromRgbF(1, 1, 1, static_cast<float>(alpha));
}

const QStringList& colorNames()
{
    static const QStringList names{"yellow", "pink", "blue", "green"};
    return names;
}

const QMap<QString, PaperStops>& palette()
{
    static const QMap<QString, PaperStops> stops{
        {"yellow", {paperTop, paperBottom}},
        {"pink", {QColor::fromRgbF(1.0f, 0.867f, 0.894f), QColor::fromRgbF(1.0f, 0.761f, 0.812f)}},
        {"blue", {QColor::fromRgbF(0.863f, 0.933f, 1.0f), QColor::fromRgbF(0.71f, 0.863f, 1.0f)}},
        {"green",
         {QColor::fromRgbF(0.902f, 0.969f, 0.878f), QColor::fromRgbF(0.765f, 0.929f, 0.722f)}},
    };
    return stops;
}

PaperStops paperStops(const QString& name)
{
    const auto& map = palette();
    auto it = map.constFind(name);
    return it != map.constEnd() ? *it : PaperStops{paperTop, paperBottom};
}

QString colorTitle(const QString& name)
{
    // The four paper colours have translated names; any other name is only capitalised.
    static const char* const titles[] = {
        QT_TRANSLATE_NOOP("Colors", "Yellow"), QT_TRANSLATE_NOOP("Colors", "Pink"),
        QT_TRANSLATE_NOOP("Colors", "Blue"), QT_TRANSLATE_NOOP("Colors", "Green")};
    const QString title = name.isEmpty() ? name : name.left(1).toUpper() + name.mid(1);
    for (const char* known : titles) {
        if (title == QLatin1String(known)) {
            return QCoreApplication::translate("Colors", known);
        }
    }
    return title;
}

QLinearGradient paperGradient(const QString& name, const QRectF& rect)
{
    const PaperStops stops = paperStops(name);
    QLinearGradient gradient(QPointF(rect.center().x(), rect.top()),
                             QPointF(rect.center().x(), rect.bottom()));
    gradient.setColorAt(0, stops.top);
    gradient.setColorAt(1, stops.bottom);
    return gradient;
}

} // namespace paint
