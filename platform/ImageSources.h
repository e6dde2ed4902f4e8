#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// Where images come from outside the program: the file chooser and the screen-capture child.
// Both are services (platform/Services.h), so tests choose files and capture regions without a
// modal dialog or a second process.
namespace imagesources {

// Asks the user for image files; returns the chosen paths (empty when cancelled). The folder
// of the files chosen is where the next file dialog opens.
QStringList chooseFiles(const QString& message);
// Starts the interactive capture writing a PNG to `file`; `finished` runs on the main thread
// when the capture ends, whatever its outcome. Returns false (with a reason) when the capture
// cannot start.
bool launchCapture(const QString& file, std::function<void()> finished, QString* error);

} // namespace imagesources
