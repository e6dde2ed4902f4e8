#pragma once

#include <QColor>
#include <QIcon>

class QAction;
class QAbstractButton;

// The look of commands that destroy what the user made ("Remove Image", "Delete Forever"):
// a red trash glyph, and red text where the widget can show it.
namespace paint {

QColor destructiveRed();
// A red trash can, painted (never a theme icon, whose colour could not be trusted).
QIcon destructiveIcon(int size = 16);
// Gives a menu entry the red trash icon and the dynamic property "destructive".
void markDestructive(QAction* action);
// Gives a button the red trash icon and red text.
void markDestructive(QAbstractButton* button);

} // namespace paint
