#pragma once

#include <QAbstractButton>
#include <QColor>

// One control of the image viewer's bar: a painted glyph (and, unless it is glyph-only, a
// title) on a faint white rounded plate. Glyph-only buttons keep their title as the
// accessible name.
class ViewerBarButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Glyph { ChevronLeft, ChevronRight, Copy, SaveDown, Trash, Close };

    ViewerBarButton(const QString& title, Glyph glyph, QColor tint, bool glyphOnly,
                    QWidget* parent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintGlyph(QPainter& painter, const QRectF& box) const;

    Glyph glyph_;
    QColor tint_;
    bool glyphOnly_;
};
