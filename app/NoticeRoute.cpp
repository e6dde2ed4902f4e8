#include "app/NoticeRoute.h"

#include "controller/AppController.h"
#include "dashboard/DashWindow.h"
#include "dashboard/DashboardView.h"
#include "platform/Notices.h"

void showNoticesInDashboard(AppController* app)
{
    QObject::connect(&platform::Notices::shared(), &platform::Notices::posted, app,
                     [app](const QString& text) {
                         app->showDashboard(false);
                         if (auto* window = qobject_cast<DashWindow*>(app->dashboardWindow())) {
                             window->view()->showNotice(text);
                         }
                     });
}
