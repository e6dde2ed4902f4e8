#include "pad/PadMenu.h"

#include "controller/AppController.h"
#include "controller/NotesFolderMove.h"
#include "platform/LoginItem.h"
#include "platform/Spelling.h"

#include <QCoreApplication>
#include <QMenu>
#include <QPointer>

void fillPadMenu(QMenu& menu, AppController* app)
{
    const QPointer<AppController> weak(app);
    menu.addAction(QCoreApplication::translate("Pad", "All Notes…"), &menu, [weak] {
        if (weak) {
            weak->showDashboard();
        }
    });
    menu.addAction(QCoreApplication::translate("Pad", "Bring All Notes Back"), &menu, [weak] {
        if (weak) {
            weak->bringAllBack();
        }
    });
    menu.addAction(QCoreApplication::translate("Pad", "Notes Folder…"), &menu, [weak] {
        if (weak) {
            weak->folderMove().choose();
        }
    });
    QAction* login = menu.addAction(QCoreApplication::translate("Pad", "Open at Login"));
    login->setCheckable(true);
    login->setChecked(openAtLoginEnabled());
    QObject::connect(login, &QAction::toggled, &menu, [](bool on) { setOpenAtLogin(on); });
    menu.addAction(platform::Spelling::shared().toggleAction(&menu));
    menu.addSeparator();
    menu.addAction(QCoreApplication::translate("Pad", "Quit Quillhaven"), &menu,
                   [] { QCoreApplication::quit(); });
}
