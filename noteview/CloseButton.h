#pragma once

#include <QAbstractButton>

namespace noteview {

// The round close button in the header strip. Its glyph shows only while the pointer is on
// it; the whole button fades with the note's hover but keeps taking clicks when invisible.
class CloseButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CloseButton(QWidget* parent = nullptr);
    static constexpr int side = 13;

    void setReveal(double opacity);
    double reveal() const { return reveal_; }
    bool isPointerOver() const { return over_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    double reveal_ = 0;
    bool over_ = false;
};

} // namespace noteview
