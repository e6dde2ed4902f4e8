#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <optional>

// The selection overlay of the capture child. It shows a frozen shot of the screen, dimmed,
// and lets the user drag a rectangle, shown undimmed with a white border and its size.
// Emits finished() once: with the chosen rectangle in the shot's pixels, or nothing.
class CaptureOverlay : public QWidget {
    Q_OBJECT
public:
    // `shot` is the screen's image; its device pixel ratio maps points to pixels.
    explicit CaptureOverlay(const QImage& shot, QWidget* parent = nullptr);

    QRect selection() const; // in points, normalised; empty while nothing is dragged
    QRect pixelRect() const; // the selection in the shot's pixels

    // Writes the selected part of the shot as PNG; false when nothing is selected or the
    // write fails.
    bool writeSelection(const QString& file) const;

Q_SIGNALS:
    void finished(bool selected);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void finish(bool selected);

    QImage shot_;
    std::optional<QPoint> anchor_;
    QPoint current_;
    // Where, and when, the latest burst of motion began.
    std::optional<QPoint> moveStart_;
    quint64 moveTime_ = 0;
    bool keyboardGrabbed_ = false;
    bool mouseGrabbed_ = false;
    bool done_ = false;
};
