#include "support/Suites.h"

#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>
#include <ctime>

// The one entry point of every test executable: the same environment for all, then each
// registered suite.
int main(int argc, char** argv)
{
    qputenv("TZ", "UTC"); // dates are checked against a UTC calendar
    tzset();
    // No sound server, whatever the machine has: the sound service must then stay quiet
    // without blocking. (An explicit server also stops libpulse from spawning a daemon.) The
    // audio suite starts a private server of its own.
    qputenv("PULSE_SERVER", "unix:/nonexistent/quillhaven-test/native");
    // Folder locks live in the state folder: the suite's own, not the user's.
    const QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toUtf8());
    QApplication application(argc, argv);
    // Fonts in points measure the same on every machine.
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    QApplication::setOrganizationName(QStringLiteral("Quillhaven"));
    QApplication::setApplicationName(QStringLiteral("Quillhaven"));
    // Suites close their last window often; the program runs on, as it does for real.
    QApplication::setQuitOnLastWindowClosed(false);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    return runSuites(argc, argv) == 0 ? 0 : 1;
}
