#pragma once

#include <QMainWindow>
#include <QPointer>

class AppController;
class DashboardView;
class QMenu;
class QTimer;

// The dashboard's ordinary, titled window. It is made once and only hidden when closed, so
// the view inside keeps its filter, selection and search. Its frame is remembered under
// "Dashboard" in the settings.
class DashWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit DashWindow(AppController* app, QWidget* parent = nullptr);
    ~DashWindow() override;

    QPointer<AppController> app;
    DashboardView* view() const { return view_; }

    // Puts back the remembered frame, or centres the window on the screen.
    void restoreFrame();
    void saveFrame() const;

    // Ctrl+V with an image on the clipboard and a live note selected: the image goes to that
    // note. Returns whether the key was taken.
    bool pasteImage();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QMenu* buildFileMenu();
    QMenu* buildNotesMenu();
    bool ownsReceiver(QObject* watched) const;
    bool canPasteImage() const;

    DashboardView* view_ = nullptr;
    QTimer* saveTimer_ = nullptr;
};
