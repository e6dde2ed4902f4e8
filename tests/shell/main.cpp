#include "ShellTests.h"

#include <QApplication>
#include <QTest>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quillhaven"));
    QApplication::setApplicationName(QStringLiteral("Quillhaven"));
    QApplication::setQuitOnLastWindowClosed(false);

    int failures = 0;
    for (const auto& make : shellTests()) {
        std::unique_ptr<QObject> test = make();
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
