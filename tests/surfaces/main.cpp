#include "Suites.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // No sound server for these tests, whatever the machine has: the sound service must
    // then stay quiet without blocking. (An explicit server also stops libpulse from
    // spawning a daemon.)
    qputenv("PULSE_SERVER", "unix:/nonexistent/quillhaven-test/native");
    QApplication app(argc, argv);
    return runSuites(argc, argv);
}
