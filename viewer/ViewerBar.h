#pragma once

#include "paint/Glyphs.h"

#include <QAbstractButton>
#include <QColor>

// One control of the image viewer's bar: a painted glyph (and, unless it is glyph-only, a
// title) on a faint white rounded plate; the cross sits on a round plate instead, as the close
// button. Glyph-only buttons keep their title as the accessible name.
class ViewerBarButton : public QAbstractButton {
    Q_OBJECT
public:
    ViewerBarButton(const QString& title, paint::Glyph glyph, QColor tint, bool glyphOnly,
                    QWidget* parent);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    paint::Glyph glyph_;
    QColor tint_;
    bool glyphOnly_;
};
