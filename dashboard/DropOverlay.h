#pragma once

#include <QWidget>

// Shown over the pane while a droppable drag hovers it; never takes the mouse.
class DropOverlay : public QWidget {
    Q_OBJECT
public:
    explicit DropOverlay(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
