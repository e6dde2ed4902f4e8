#pragma once

#include <QPointer>
#include <QWidget>

class AppController;

// The view inside the pad window at the top of the screen.
class PadView : public QWidget {
    Q_OBJECT
public:
    explicit PadView(AppController* app, QWidget* parent = nullptr);
    ~PadView() override;

private:
    QPointer<AppController> app_;
};
