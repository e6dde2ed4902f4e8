#include "paint/Destructive.h"

#include "paint/Glyphs.h"

#include <QAbstractButton>
#include <QAction>

namespace paint {

QColor destructiveRed()
{
    return QColor(200, 38, 30);
}

QIcon destructiveIcon(int size)
{
    // A touch heavier than the grid symbols' 1.3 line.
    return glyphIcon(Glyph::Trash, destructiveRed(), size, 1.4);
}

void markDestructive(QAction* action)
{
    action->setIcon(destructiveIcon());
    action->setIconVisibleInMenu(true);
    action->setProperty("destructive", true); // for styles, and for tests to ask
}

void markDestructive(QAbstractButton* button)
{
    button->setIcon(destructiveIcon());
    QPalette red = button->palette();
    red.setColor(QPalette::ButtonText, destructiveRed());
    button->setPalette(red);
}

} // namespace paint
