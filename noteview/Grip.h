#pragma once

#include <QWidget>

namespace noteview {

// The resize grip in the paper's bottom-right corner. The window itself runs the resize
// gesture; the grip shows where it is, takes the clicks there and sets the pointer.
class Grip : public QWidget {
    Q_OBJECT
public:
    explicit Grip(QWidget* parent = nullptr);
    static constexpr int side = 26;
    static constexpr int margin = 3;

    void setReveal(double opacity);
    double reveal() const { return reveal_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    double reveal_ = 0;
};

} // namespace noteview
