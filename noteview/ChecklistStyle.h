#pragma once

#include <QSyntaxHighlighter>

class QPainter;
class QTextEdit;
class QTextBlock;

namespace noteview {

// Checklist items and bullets in a note's text: the marker's characters are kept but not
// drawn, a box or a bullet is painted in their place (paintMarkers), and a ticked item's
// words are dimmed and struck through. Only the edited block is restyled on a key.
class ChecklistStyle : public QSyntaxHighlighter {
public:
    explicit ChecklistStyle(QTextEdit* edit);

    // The boxes and bullets of the blocks in view, in viewport coordinates.
    void paintMarkers(QPainter& p) const;
    // The box of the item at `pos` (viewport coordinates), if a box is there.
    QTextBlock boxAt(QPoint pos) const;
    // Ticks or unticks the item as one edit of the text.
    static void toggle(const QTextBlock& block);

protected:
    void highlightBlock(const QString& text) override;

private:
    QRectF signRect(const QTextBlock& block) const;

    QTextEdit* edit_;
};

} // namespace noteview
