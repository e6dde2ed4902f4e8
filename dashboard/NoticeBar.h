#pragma once

#include <QColor>
#include <QFrame>

namespace dash {
struct Theme;
}
class QLabel;
class QToolButton;

// A quiet line across the top of the dashboard that tells the user something the program
// could not do by itself (keys it cannot reach, a capture that gave nothing). It stays until
// closed or replaced by the next notice.
class NoticeBar : public QFrame {
    Q_OBJECT
public:
    explicit NoticeBar(QWidget* parent = nullptr);

    void showText(const QString& text);
    QString text() const;
    QToolButton* closeButton() const { return close_; }

    // The notice's own ground and text: set by the dashboard with its appearance.
    void setTheme(const dash::Theme& theme);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor rule_;

    QLabel* label_ = nullptr;
    QToolButton* close_ = nullptr;
};
