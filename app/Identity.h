#pragma once

#include <QString>

class QCoreApplication;
class QLocale;

// Who the program says it is: the desktop id, the version and licence, the icon.

// "Quillhaven <version>" and the licence, as --version prints it.
QString aboutText();

// Ties windows to the installed desktop entry and gives them the program's icon. The icon
// follows once the first window is on screen: the first frame need not wait for it.
void applyIdentity();

// The icon at once, for a window shown before any other (a message at start).
void applyWindowIcon();

// Installs the program's translation for the locale, and Qt's own, when there is one.
void installTranslations(QCoreApplication& application, const QLocale& locale);
