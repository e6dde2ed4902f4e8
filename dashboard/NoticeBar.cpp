#include "dashboard/NoticeBar.h"

#include "dashboard/Theme.h"
#include "dashboard/ThemedIcon.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

NoticeBar::NoticeBar(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("notice"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    label_ = new QLabel(this);
    label_->setWordWrap(true);
    label_->setTextFormat(Qt::PlainText);
    // The commands in it are meant to be copied into the desktop's settings.
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    close_ = new QToolButton(this);
    close_->setAutoRaise(true);
    close_->setAccessibleName(QCoreApplication::translate("Dashboard", "Close"));
    connect(close_, &QToolButton::clicked, this, &QWidget::hide);
    action_ = new QPushButton(this);
    action_->hide();
    connect(action_, &QPushButton::clicked, this, [this] {
        const std::function<void()> act = std::move(onAction_);
        if (act) {
            act();
        }
        hide();
    });
    expiry_ = new QTimer(this);
    expiry_->setSingleShot(true);
    connect(expiry_, &QTimer::timeout, this, &QWidget::hide);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 6, 6, 6);
    layout->addWidget(label_, 1);
    layout->addWidget(action_, 0, Qt::AlignTop);
    layout->addWidget(close_, 0, Qt::AlignTop);
    setTheme(dash::theme(false));
    hide();
}

void NoticeBar::setTheme(const dash::Theme& theme)
{
    setAutoFillBackground(!floating_);
    ground_ = theme.notice;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, theme.notice);
    pal.setColor(QPalette::WindowText, theme.text);
    setPalette(pal);
    rule_ = dash::faint(theme.text, 0.12);
    close_->setIcon(dash::themedIcon(paint::Glyph::Cross, dash::faint(theme.text, 0.55), 10));
    update();
}

void NoticeBar::setFloating(bool floating)
{
    floating_ = floating;
    setAutoFillBackground(!floating_);
    update();
}

void NoticeBar::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    if (!floating_) {
        p.fillRect(QRect(0, height() - 1, width(), 1), rule_);
        return;
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(dash::faint(palette().color(QPalette::WindowText), 0.2), 1));
    p.setBrush(ground_);
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}

void NoticeBar::showText(const QString& text)
{
    expiry_->stop();
    action_->hide();
    onAction_ = nullptr;
    label_->setText(text);
    show();
}

void NoticeBar::showAction(const QString& text, const QString& button, std::function<void()> action,
                           std::chrono::milliseconds lasting)
{
    showText(text);
    onAction_ = std::move(action);
    action_->setText(button);
    action_->show();
    if (lasting.count() > 0) {
        expiry_->start(lasting);
    }
}

QString NoticeBar::text() const
{
    return isHidden() ? QString() : label_->text();
}
