#pragma once

#include <QRectF>
#include <memory>

class AppController;
class NoteModel;
class Panel;
class QWidget;

// The windows the controller shows, built by whoever knows the views: the application wires
// the real widgets in. The controller places, orders and closes what it is given; it never
// constructs a view itself.
class ViewFactory {
public:
    virtual ~ViewFactory() = default;

    // A note's window at `frame` (y-up), showing the note.
    virtual std::unique_ptr<Panel> noteWindow(NoteModel* note, AppController* app,
                                              const QRectF& frame) = 0;
    // The pad's window at `frame` (y-up).
    virtual std::unique_ptr<Panel> padWindow(AppController* app, const QRectF& frame) = 0;
    // The image viewer over the whole screen, opened at the note's picture `index`.
    virtual std::unique_ptr<Panel> viewerWindow(NoteModel* note, AppController* app, int index,
                                                const QRectF& screen) = 0;
    // The dashboard, at the frame it had last time.
    virtual std::unique_ptr<QWidget> dashboardWindow(AppController* app) = 0;
};
