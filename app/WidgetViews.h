#pragma once

#include "controller/ViewFactory.h"

// The real views: note sheets, the pad, the image viewer and the dashboard window.
class WidgetViews : public ViewFactory {
public:
    std::unique_ptr<Panel> noteWindow(NoteModel* note, AppController* app,
                                      const QRectF& frame) override;
    std::unique_ptr<Panel> padWindow(AppController* app, const QRectF& frame) override;
    std::unique_ptr<Panel> viewerWindow(NoteModel* note, AppController* app, int index,
                                        const QRectF& screen) override;
    std::unique_ptr<QWidget> dashboardWindow(AppController* app) override;
};

// A controller showing the real views, as the program and the widget tests use it.
std::unique_ptr<AppController> makeAppController();
