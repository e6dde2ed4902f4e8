#include "support/Suites.h"

#include <QApplication>
#include <QFont>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quillhaven"));
    QApplication::setApplicationName(QStringLiteral("Quillhaven"));
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));
    return runSuites(argc, argv);
}
