#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>

namespace platform {

// Stops the text caret's blink after a spell without input, as desktops do: a caret blinking
// in a note left focused on screen would wake the program twice a second for hours. The caret
// stays drawn, solid; a key, a click or a new focus sets it blinking again.
class CaretRest : public QObject {
    Q_OBJECT
public:
    explicit CaretRest(std::chrono::milliseconds after = std::chrono::seconds(10),
                       QObject* parent = nullptr);
    ~CaretRest() override;

    bool resting() const { return resting_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wake();
    void rest();

    QTimer timer_;
    bool resting_ = false;
};

} // namespace platform
