#pragma once

#include "dashboard/Symbols.h"

#include <QWidget>

// The "nothing to show here" view: a large dimmed symbol, a title and an optional line of
// explanation, centred in whatever space it is given.
class Placeholder : public QWidget {
    Q_OBJECT
public:
    explicit Placeholder(QWidget* parent = nullptr);

    void set(dash::Symbol symbol, const QString& title, const QString& description = {});
    QString title() const { return title_; }
    QString description() const { return description_; }
    dash::Symbol symbol() const { return symbol_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    dash::Symbol symbol_ = dash::Symbol::NoteText;
    QString title_;
    QString description_;
};
