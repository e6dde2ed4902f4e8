#pragma once

#include <QColor>
#include <QFrame>
#include <chrono>
#include <functional>

namespace dash {
struct Theme;
}
class QLabel;
class QPushButton;
class QTimer;
class QToolButton;

// A quiet line across the top of the dashboard that tells the user something the program
// could not do by itself (keys it cannot reach, a capture that gave nothing). It stays until
// closed or replaced by the next notice.
class NoticeBar : public QFrame {
    Q_OBJECT
public:
    explicit NoticeBar(QWidget* parent = nullptr);

    void showText(const QString& text);
    // A notice with a button that does `action` and closes it; unlike the others it goes by
    // itself after `lasting` (unless that is zero), as an offer that is only good for a moment.
    void showAction(const QString& text, const QString& button, std::function<void()> action,
                    std::chrono::milliseconds lasting);
    QString text() const;
    QToolButton* closeButton() const { return close_; }
    QPushButton* actionButton() const { return action_; }

    // The notice's own ground and text: set by the dashboard with its appearance.
    void setTheme(const dash::Theme& theme);
    // Drawn as a rounded card with an edge, for a notice that floats over other content
    // instead of taking a line of its own.
    void setFloating(bool floating);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor rule_;
    QColor ground_;
    bool floating_ = false;

    QLabel* label_ = nullptr;
    QToolButton* close_ = nullptr;
    QPushButton* action_ = nullptr;
    QTimer* expiry_ = nullptr;
    std::function<void()> onAction_;
};
