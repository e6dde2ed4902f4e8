#include "pad/PadMenu.h"

#include "controller/AppController.h"
#include "platform/LoginItem.h"

#include <QCoreApplication>
#include <QMenu>
#include <QPointer>

void fillPadMenu(QMenu& menu, AppController* app)
{
    const QPointer<AppController> weak(app);
    menu.addAction(QStringLiteral("All Notes\u2026"), &menu, [weak] {
        if (weak) {
            weak->showDashboard();
        }
    });
    menu.addAction(QStringLiteral("Bring All Notes Back"), &menu, [weak] {
        if (weak) {
            weak->bringAllBack();
        }
    });
    QAction* login = menu.addAction(QStringLiteral("Open at Login"));
    login->setCheckable(true);
    login->setChecked(openAtLoginEnabled());
    QObject::connect(login, &QAction::toggled, &menu, [](bool on) { setOpenAtLogin(on); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("Quit Quillhaven"), &menu, [] { QCoreApplication::quit(); });
}
