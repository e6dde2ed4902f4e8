#pragma once

#include <QAbstractButton>

// A button the pad paints itself: the widget only takes the pointer, the keyboard, the tooltip
// and the accessible name, so the pad can draw every control in one pass with its fades, its
// swing and the cards' lift.
class PadHitButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit PadHitButton(const QString& name, QWidget* parent = nullptr);

    // The keyboard reached the button with Tab: the pad then rings it.
    bool showsFocus() const { return hasFocus() && keyboardFocus_; }

Q_SIGNALS:
    // The pointer entered or moves over the button; and left it.
    void pointerOver();
    void pointerGone();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool keyboardFocus_ = false;
};
