#pragma once

#include <QAbstractButton>

// The dashed "Add another image" button under the tiles.
class AddAnotherButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit AddAnotherButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
