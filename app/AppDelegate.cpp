#include "app/AppDelegate.h"

#include "app/Launch.h"
#include "app/NoticeRoute.h"
#include "app/WidgetViews.h"
#include "controller/AppController.h"
#include "controller/ImageQueue.h"
#include "controller/NotesFolderMove.h"
#include "controller/Transfers.h"
#include "paint/Paper.h"
#include "platform/HotKeys.h"
#include "platform/LoginItem.h"
#include "platform/Memory.h"
#include "sound/Sound.h"
#include "windows/MainMenu.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <utility>

namespace {

constexpr int releaseAfterMs = 1000;

} // namespace

AppDelegate::AppDelegate()
    : app_(makeAppController())
{
    showNoticesInDashboard(app_.get());
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching()
{
    // Hot-key actions may outlive the delegate at exit; they do nothing once it is gone.
    QPointer<AppController> app = app_.get();
    LaunchSteps steps;
    steps.executablePath = QCoreApplication::applicationFilePath();
    steps.arguments = QCoreApplication::arguments();
    steps.setOpenAtLogin = [](bool enabled) { setOpenAtLogin(enabled); };
    // Opening the sound server takes longer than showing the pad, and nothing plays in the
    // first moments: the pad appears first, the sound is ready well before the first gesture.
    steps.warmUpSound = [] { QTimer::singleShot(300, qApp, [] { Sound::shared(); }); };
    steps.buildMainMenu = [app] {
        buildMainMenu([app] {
            if (app) {
                app->folderMove().choose();
            }
        });
    };
    steps.start = [app] { app->start(); };
    steps.registerHotKey = [](quint32 key, quint32 id, HotKeyAction action,
                              const HotKeyName& name) {
        registerHotKey(key, id, std::move(action), name);
    };
    steps.toggleDashboard = [app] {
        if (app) {
            app->toggleDashboard();
        }
    };
    steps.captureScreenshot = [app] {
        if (app) {
            app->images().captureScreenshot(nullptr);
        }
    };
    steps.showDashboard = [app] { app->showDashboard(); };
    steps.requested = !pending_.empty();
    finishLaunching(steps);
    // By then the notes are read and the first windows are up and painted: the papers they
    // were painted from, and what start-up freed, go back.
    QTimer::singleShot(releaseAfterMs, qApp, [] {
        paint::releaseCachedPapers();
        platform::releaseFreeMemory();
    });
    launched_ = true;
    for (const auto& [request, argument] : std::exchange(pending_, {})) {
        serve(request, argument);
    }
}

bool AppDelegate::applicationShouldHandleReopen()
{
    perform(SingleInstance::Request::ShowDashboard);
    return false;
}

void AppDelegate::perform(SingleInstance::Request request, const QString& argument)
{
    if (!launched_) {
        pending_.emplace_back(request, argument);
        return;
    }
    serve(request, argument);
}

void AppDelegate::serve(SingleInstance::Request request, const QString& argument)
{
    switch (request) {
    case SingleInstance::Request::ShowDashboard:
        app_->showDashboard();
        break;
    case SingleInstance::Request::ToggleDashboard:
        app_->toggleDashboard();
        break;
    case SingleInstance::Request::Capture:
        app_->images().captureScreenshot(nullptr);
        break;
    case SingleInstance::Request::NewNote:
        app_->drop(app_->newNote(std::nullopt, QStringLiteral("yellow")));
        break;
    case SingleInstance::Request::Export:
        app_->transfers().exportTo(argument);
        break;
    case SingleInstance::Request::Import:
        app_->transfers().importFrom(argument);
        break;
    }
}
