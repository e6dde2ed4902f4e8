#pragma once

#include <QString>
#include <functional>

class QObject;

namespace platform {

// Asks the user for a folder, starting in `start`, without waiting: `chosen` runs later on the
// GUI thread with the folder, or not at all when the user cancels or `context` has gone. One
// chooser at a time: asking again while one is open brings that one forward. The desktop's own
// chooser is used where the platform theme offers one (a portal's, GTK's). A service
// (platform/Services.h), so tests choose without a dialog.
void chooseFolder(const QString& title, const QString& start, QObject* context,
                  std::function<void(const QString& folder)> chosen);

} // namespace platform
