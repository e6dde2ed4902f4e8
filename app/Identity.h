#pragma once

#include <QString>

class QCoreApplication;
class QLocale;

// Who the program says it is: the desktop id, the version and licence, the icon.

// "Quillhaven <version>" and the licence, as --version prints it.
QString aboutText();

// Ties windows to the installed desktop entry and gives them the theme's icon, or the built-in
// one when the icon is not installed (a build-tree copy).
void applyIdentity();

// Installs the program's translation for the locale, and Qt's own, when there is one.
void installTranslations(QCoreApplication& application, const QLocale& locale);
