#include "model/ChecklistStyle.h"

#include "model/Checklist.h"
#include "model/FormatStyle.h"
#include "model/SpellCheck.h"
#include "platform/Spelling.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using checklist::Marker;

namespace {

QColor faded(QColor ink, double alpha)
{
    ink.setAlphaF(float(alpha));
    return ink;
}

} // namespace

ChecklistStyle::ChecklistStyle(QTextDocument* document, QColor ink, RectAt rectAt)
    : QSyntaxHighlighter(document)
    , ink_(ink)
    , rectAt_(std::move(rectAt))
{
    connect(&platform::Spelling::shared(), &platform::Spelling::changed, this,
            &ChecklistStyle::rehighlight);
}

void ChecklistStyle::highlightBlock(const QString& text)
{
    styleItem(text);
    styleFormatting(text);
    underlineMisspelt(text);
}

void ChecklistStyle::underlineMisspelt(const QString& text)
{
    const QTextBlock block = currentBlock();
    const bool caretHere = caret_ >= block.position() && caret_ < block.position() + block.length();
    for (const spellcheck::Word& w :
         spellcheck::misspelt(text, caretHere ? caret_ - block.position() : -1)) {
        // Each character keeps what else it is drawn with (struck through, dimmed...).
        for (int i = int(w.start); i < int(w.start + w.length); ++i) {
            QTextCharFormat f = format(i);
            f.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
            f.setUnderlineColor(QColor(220, 30, 30));
            setFormat(i, 1, f);
        }
    }
}

// Formatting laid over the item's style: a struck item's bold words stay struck.
void ChecklistStyle::styleFormatting(const QString& text)
{
    for (const auto& range : formatting::formatsOf(text, ink_, document()->defaultFont())) {
        const int end = range.start + range.length;
        for (int at = range.start; at < end;) {
            const QTextCharFormat was = format(at);
            int run = at + 1;
            while (run < end && format(run) == was) {
                ++run;
            }
            QTextCharFormat merged = was;
            merged.merge(range.format);
            setFormat(at, run - at, merged);
            at = run;
        }
    }
}

void ChecklistStyle::followCaret(int position)
{
    const QTextBlock was = document()->findBlock(caret_);
    const QTextBlock now = document()->findBlock(position);
    const auto word = [](const QTextBlock& b, int at) {
        return b.isValid() ? spellcheck::wordAt(b.text(), at - b.position()) : spellcheck::Word();
    };
    const bool left = was != now || word(was, caret_) != word(now, position);
    caret_ = position;
    if (left && was.isValid()) {
        rehighlightBlock(was);
    }
}

void ChecklistStyle::styleItem(const QString& text)
{
    const Marker m = checklist::markerOf(text);
    if (m.kind == Marker::Kind::None) {
        return;
    }
    QTextCharFormat hidden;
    hidden.setForeground(Qt::transparent);
    if (m.kind == Marker::Kind::Bullet) {
        setFormat(int(m.sign), 1, hidden);
        return;
    }
    setFormat(int(m.sign) - 2, int(m.length - m.sign) + 2, hidden);
    if (m.kind == Marker::Kind::Done) {
        QTextCharFormat done;
        done.setForeground(faded(ink_, 0.4));
        done.setFontStrikeOut(true);
        setFormat(int(m.length), int(text.size() - m.length), done);
    }
}

// Where the marker lies: the "- [ ]" of an item, the "-" of a bullet.
QRectF ChecklistStyle::signRect(const QTextBlock& block) const
{
    const Marker m = checklist::markerOf(block.text());
    const int first = block.position() + int(m.item() ? m.sign - 2 : m.sign);
    const QRect from = rectAt_(first);
    const QRect to = rectAt_(first + (m.item() ? 5 : 1));
    return QRectF(from.left(), from.top(), std::max(4, to.left() - from.left()), from.height());
}

void ChecklistStyle::paintMarkers(QPainter& p, QTextBlock first, int bottom) const
{
    p.setRenderHint(QPainter::Antialiasing);
    // Only the blocks in view: a long note costs no more per frame than a short one.
    for (QTextBlock b = first; b.isValid() && rectAt_(b.position()).top() <= bottom; b = b.next()) {
        const Marker m = checklist::markerOf(b.text());
        if (m.kind == Marker::Kind::None) {
            continue;
        }
        const QRectF sign = signRect(b);
        const double side = std::min(sign.height() * 0.62, sign.width());
        const double x = m.item() ? sign.left() + 1 : sign.center().x() - side / 2;
        const QRectF box(x, sign.center().y() - side / 2, side, side);
        if (m.kind == Marker::Kind::Bullet) {
            p.setPen(Qt::NoPen);
            p.setBrush(faded(ink_, 0.7));
            p.drawEllipse(box.center(), side / 6, side / 6);
            continue;
        }
        const bool done = m.kind == Marker::Kind::Done;
        p.setPen(QPen(faded(ink_, done ? 0.35 : 0.55), 1.3));
        p.setBrush(done ? faded(ink_, 0.12) : Qt::transparent);
        p.drawRoundedRect(box, side * 0.2, side * 0.2);
        if (done) {
            p.setPen(QPen(faded(ink_, 0.75), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF{box.topLeft() + QPointF(side * 0.22, side * 0.52),
                                     box.topLeft() + QPointF(side * 0.43, side * 0.74),
                                     box.topLeft() + QPointF(side * 0.8, side * 0.28)});
        }
    }
}

bool ChecklistStyle::onBox(const QTextBlock& block, QPoint pos) const
{
    return checklist::markerOf(block.text()).item() &&
           signRect(block).adjusted(-4, 0, 4, 0).contains(pos);
}

void ChecklistStyle::toggle(const QTextBlock& block)
{
    const Marker m = checklist::markerOf(block.text());
    if (!m.item()) {
        return;
    }
    QTextCursor c(block);
    c.setPosition(block.position() + int(m.sign) + 1);
    c.setPosition(block.position() + int(m.sign) + 2, QTextCursor::KeepAnchor);
    c.insertText(m.kind == Marker::Kind::Done ? QStringLiteral(" ") : QStringLiteral("x"));
}

bool ChecklistStyle::listKey(QTextCursor& c, int key)
{
    const QTextBlock block = c.block();
    const Marker m = checklist::markerOf(block.text());
    if (m.kind == Marker::Kind::None || c.hasSelection()) {
        return false;
    }
    const int markerEnd = block.position() + int(m.length);
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool empty = block.length() - 1 == int(m.length);
    if ((enter && empty) || (key == Qt::Key_Backspace && c.position() == markerEnd)) {
        // The list ends here, or this line leaves it: the marker goes, the words stay.
        c.setPosition(block.position());
        c.setPosition(markerEnd, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        return true;
    }
    if (enter && c.position() >= markerEnd) {
        const QString marker = block.text().left(m.length);
        c.insertText(QStringLiteral("\n") +
                     (m.item() ? marker.left(m.sign - 2) + QStringLiteral("- [ ] ") : marker));
        return true;
    }
    return false;
}

void ChecklistStyle::toggleItems(const QTextCursor& selection)
{
    QTextDocument* document = selection.document();
    const int last = document->findBlock(selection.selectionEnd()).blockNumber();
    const QTextBlock first = document->findBlock(selection.selectionStart());
    const auto touched = [last](const QTextBlock& b) {
        return b.isValid() && b.blockNumber() <= last;
    };
    bool allItems = true;
    for (QTextBlock b = first; touched(b); b = b.next()) {
        allItems = allItems && checklist::markerOf(b.text()).item();
    }
    QTextCursor edit(document);
    edit.beginEditBlock();
    for (QTextBlock b = first; touched(b); b = b.next()) {
        // After the indent, in place of a bullet or an item's marker.
        const Marker m = checklist::markerOf(b.text());
        const qsizetype from = m.item() ? m.sign - 2 : m.sign;
        edit.setPosition(b.position() + int(from));
        edit.setPosition(b.position() + int(std::max(m.length, from)), QTextCursor::KeepAnchor);
        edit.insertText(allItems ? QString() : QStringLiteral("- [ ] "));
    }
    edit.endEditBlock();
}
