#pragma once

#include <QLabel>

// A one-line label that, when narrower than its text, ends it with "…" instead of cutting a
// letter in half; the whole text is then its tooltip.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    const QString& fullText() const { return full_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString full_;
};
