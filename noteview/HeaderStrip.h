#pragma once

#include <QWidget>

namespace noteview {

// The 26-high strip at the top of the paper: a short capsule in the middle. The note view
// handles its double-click and context menu.
class HeaderStrip : public QWidget {
    Q_OBJECT
public:
    explicit HeaderStrip(QWidget* parent = nullptr);
    static constexpr int height = 26;

Q_SIGNALS:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace noteview
