#include "Suites.h"

#include <QApplication>
#include <QStandardPaths>
#include <ctime>

int main(int argc, char** argv)
{
    qputenv("TZ", "UTC"); // dates are checked against a UTC calendar
    tzset();
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    return runSuites(argc, argv);
}
