#include "controller/AppController.h"
#include "controller/ViewFactory.h"
#include "windows/Panel.h"

#include <QGuiApplication>

void AppController::viewImages(NoteModel* note, int index)
{
    if (viewer_) {
        viewer_->close();
        // The old viewer may be what called us (through its note): let its events finish.
        viewer_.release()->deleteLater();
    }
    std::unique_ptr<Panel> panel = views_->viewerWindow(note, this, index, screen());
    Panel* shown = panel.get();
    viewer_ = std::move(panel);
    shown->makeKey();
}

void AppController::showDashboard(bool takeKeys)
{
    if (!dashboard_) {
        dashboard_ = views_->dashboardWindow(this);
    }
    if (!takeKeys) {
        // For a notice: the keys stay with whatever the user types into, here or elsewhere.
        dashboard_->setAttribute(Qt::WA_ShowWithoutActivating, true);
        dashboard_->show();
        dashboard_->setAttribute(Qt::WA_ShowWithoutActivating, false);
        return;
    }
    // An ordinary window: it has a taskbar entry while it is open, unlike the note panels.
    dashboard_->show();
    dashboard_->raise();
    dashboard_->activateWindow();
}

void AppController::toggleDashboard()
{
    const bool active =
        dashboard_ && (dashboard_->isActiveWindow() ||
                       QGuiApplication::applicationState() == Qt::ApplicationActive);
    if (dashboard_ && dashboard_->isVisible() && active) {
        dashboard_->close();
        return;
    }
    showDashboard();
}
