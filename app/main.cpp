#include "controller/AppController.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // Global window placement and pointer polling need X11 (XWayland on a Wayland session).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quillhaven"));
    QApplication::setApplicationName(QStringLiteral("Quillhaven"));
    QApplication::setQuitOnLastWindowClosed(false);

    AppController controller;
    controller.start();
    return QApplication::exec();
}
