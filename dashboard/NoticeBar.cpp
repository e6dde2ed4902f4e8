#include "dashboard/NoticeBar.h"

#include "dashboard/ThemedIcon.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

NoticeBar::NoticeBar(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("notice"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    setStyleSheet(QStringLiteral("#notice { background: #f6efd2; border-bottom: 1px solid "
                                 "rgba(0, 0, 0, 28); }"));
    label_ = new QLabel(this);
    label_->setWordWrap(true);
    label_->setTextFormat(Qt::PlainText);
    // The commands in it are meant to be copied into the desktop's settings.
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    close_ = new QToolButton(this);
    close_->setAutoRaise(true);
    close_->setIcon(dash::themedIcon(paint::Glyph::Cross, QColor(0, 0, 0, 140), 10));
    close_->setAccessibleName(QCoreApplication::translate("Dashboard", "Close"));
    connect(close_, &QToolButton::clicked, this, &QWidget::hide);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 6, 6, 6);
    layout->addWidget(label_, 1);
    layout->addWidget(close_, 0, Qt::AlignTop);
    hide();
}

void NoticeBar::showText(const QString& text)
{
    label_->setText(text);
    show();
}

QString NoticeBar::text() const
{
    return isHidden() ? QString() : label_->text();
}
