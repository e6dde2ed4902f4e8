#pragma once

#include "paint/Glyphs.h"

#include <QWidget>

// The "nothing to show here" view: a large dimmed symbol, a title and an optional line of
// explanation, centred in whatever space it is given.
class Placeholder : public QWidget {
    Q_OBJECT
public:
    explicit Placeholder(QWidget* parent = nullptr);

    void set(paint::Glyph symbol, const QString& title, const QString& description = {});
    QString title() const { return title_; }
    QString description() const { return description_; }
    paint::Glyph symbol() const { return symbol_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    paint::Glyph symbol_ = paint::Glyph::NoteText;
    QString title_;
    QString description_;
};
