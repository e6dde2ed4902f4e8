#include "app/WidgetViews.h"

#include "controller/AppController.h"
#include "dashboard/DashWindow.h"
#include "noteview/NoteView.h"
#include "pad/PadView.h"
#include "viewer/ImageViewer.h"
#include "viewer/ViewerPanel.h"
#include "windows/Panel.h"

std::unique_ptr<Panel> WidgetViews::noteWindow(NoteModel* note, AppController* app,
                                               const QRectF& frame)
{
    auto panel = std::make_unique<Panel>(frame);
    auto* view = new NoteView(note, app);
    panel->setContent(view);
    QObject::connect(panel.get(), &Panel::compositorChanged, view, &NoteView::followCompositor);
    return panel;
}

std::unique_ptr<Panel> WidgetViews::padWindow(AppController* app, const QRectF& frame)
{
    auto panel = std::make_unique<Panel>(frame, Panel::Level::Pad);
    auto* view = new PadView(app);
    panel->setContent(view);
    QObject::connect(panel.get(), &Panel::compositorChanged, view, &PadView::followCompositor);
    return panel;
}

std::unique_ptr<Panel> WidgetViews::viewerWindow(NoteModel* note, AppController* app, int index,
                                                 const QRectF& screen)
{
    auto panel = std::make_unique<ViewerPanel>(screen);
    panel->setContent(new ImageViewer(note, app, index, panel.get()));
    return panel;
}

std::unique_ptr<QWidget> WidgetViews::dashboardWindow(AppController* app)
{
    auto window = std::make_unique<DashWindow>(app);
    window->restoreFrame();
    return window;
}

std::unique_ptr<AppController> makeAppController()
{
    return std::make_unique<AppController>(std::make_unique<WidgetViews>());
}
