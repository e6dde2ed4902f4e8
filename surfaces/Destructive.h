#pragma once

#include <QColor>
#include <QIcon>

class QAction;

namespace surfaces {

// The red the program gives actions that throw something away.
QColor destructiveRed();

// A red trash can, painted so that it reads the same under every icon theme.
QIcon destructiveIcon(int size = 16);

// Shows a menu action as one that destroys: the red trash icon, and the dynamic property
// "destructive" for styles and tests.
void markDestructive(QAction* action);

} // namespace surfaces
