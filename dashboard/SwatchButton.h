#pragma once

#include <QAbstractButton>
#include <QPen>

// One colour choice: an 18 x 18 circle of that paper with a heavier ring when it is the note's
// colour.
class SwatchButton : public QAbstractButton {
    Q_OBJECT
public:
    SwatchButton(const QString& colorName, QWidget* parent = nullptr);

    const QString& colorName() const { return name_; }
    void setCurrent(bool current);
    bool isCurrent() const { return current_; }
    QPen ring() const;
    QSize sizeHint() const override { return {18, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // The note's colour decides which swatch is current, not the click itself.
    void nextCheckState() override {}

private:
    QString name_;
    bool current_ = false;
};
