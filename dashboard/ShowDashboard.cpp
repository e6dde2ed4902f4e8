#include "controller/AppController.h"
#include "dashboard/DashWindow.h"

#include <QGuiApplication>

void AppController::showDashboard()
{
    if (!dashboard_) {
        auto window = std::make_unique<DashWindow>(this);
        window->restoreFrame();
        dashboard_ = std::move(window);
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
