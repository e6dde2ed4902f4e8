#pragma once

#include <QWidget>

// A translucent strip over the paper that holds the editor's controls.
class BarWidget : public QWidget {
    Q_OBJECT
public:
    explicit BarWidget(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
