#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QWindow;

namespace platform {

// Holds the keyboard for one window of the program with an X keyboard grab, for a compositor
// that gives an unmanaged X window its keyboard focus but never the X focus (sway: wlroots
// puts the X focus back whenever a program moves it). Let go as soon as another window is
// named active, by the window manager or inside the program, so that no other window's keys
// are ever taken.
class KeyboardHold : public QObject {
    Q_OBJECT
public:
    KeyboardHold();

    // Keys go to `window`'s focused widget (the window itself when none has focus).
    void hold(QWidget* window);
    // Another window became the active one.
    void release();
    QWidget* holder() const { return holder_; }

private:
    void focusWindowChanged(QWindow* window);

    QPointer<QWidget> holder_;
};

} // namespace platform
