#pragma once

#include <QColor>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <functional>

class QPainter;

// Checklist items and bullets in a note's text, for any editor of it: the marker's characters
// are kept but not drawn, a box or a bullet is painted in their place (paintMarkers), and a
// ticked item's words are dimmed and struck through. Light formatting is drawn over that. Only the
// edited block is restyled on a key. The editor says where a position of the text lies in its
// viewport.
class ChecklistStyle : public QSyntaxHighlighter {
public:
    using RectAt = std::function<QRect(int position)>;
    ChecklistStyle(QTextDocument* document, QColor ink, RectAt rectAt);

    // The boxes and bullets of the blocks from `first` down to `bottom` (viewport
    // coordinates).
    void paintMarkers(QPainter& p, QTextBlock first, int bottom) const;
    // Whether `pos` (viewport coordinates) is on the box of the item in `block`.
    bool onBox(const QTextBlock& block, QPoint pos) const;
    // Ticks or unticks the item as one edit of the text.
    static void toggle(const QTextBlock& block);
    // Return (continuing the list, or ending it on an empty item) and Backspace at the start of
    // the words (taking the line out of the list) at the caret `c`; false when the key means
    // nothing special there.
    static bool listKey(QTextCursor& c, int key);
    // The lines the selection touches become items, or plain lines when all are items already.
    static void toggleItems(const QTextCursor& selection);
    // The caret moved to `position`: the word it is in goes unchecked while it is typed.
    void followCaret(int position);

protected:
    void highlightBlock(const QString& text) override;

private:
    void styleItem(const QString& text);
    void styleFormatting(const QString& text);
    // The desktop's red wavy line under the words the dictionary does not know.
    void underlineMisspelt(const QString& text);
    QRectF signRect(const QTextBlock& block) const;

    QColor ink_;
    RectAt rectAt_;
    int caret_ = -1;
};
