#pragma once

#include <QWidget>

namespace noteview {

// The dashed hint shown while images are dragged over the note.
class DropHint : public QWidget {
    Q_OBJECT
public:
    explicit DropHint(QWidget* parent = nullptr);
    // Read when painted, so it follows the translation installed at start-up.
    static QString label();

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace noteview
