#include "noteview/ChecklistStyle.h"

#include "model/Checklist.h"
#include "paint/Palette.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

namespace noteview {

using checklist::Marker;

ChecklistStyle::ChecklistStyle(QTextEdit* edit)
    : QSyntaxHighlighter(edit->document())
    , edit_(edit)
{
}

void ChecklistStyle::highlightBlock(const QString& text)
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
        done.setForeground(paint::inkAt(0.4));
        done.setFontStrikeOut(true);
        setFormat(int(m.length), int(text.size() - m.length), done);
    }
}

// Where the marker lies: the "- [ ]" of an item, the "-" of a bullet.
QRectF ChecklistStyle::signRect(const QTextBlock& block) const
{
    const Marker m = checklist::markerOf(block.text());
    const int first = block.position() + int(m.item() ? m.sign - 2 : m.sign);
    QTextCursor c(block);
    c.setPosition(first);
    const QRect from = edit_->cursorRect(c);
    c.setPosition(first + (m.item() ? 5 : 1));
    const QRect to = edit_->cursorRect(c);
    return QRectF(from.left(), from.top(), std::max(4, to.left() - from.left()), from.height());
}

void ChecklistStyle::paintMarkers(QPainter& p) const
{
    const int height = edit_->viewport()->height();
    p.setRenderHint(QPainter::Antialiasing);
    for (QTextBlock b = edit_->cursorForPosition(QPoint(0, 0)).block(); b.isValid(); b = b.next()) {
        const Marker m = checklist::markerOf(b.text());
        if (m.kind == Marker::Kind::None) {
            continue;
        }
        const QRectF sign = signRect(b);
        if (sign.top() > height) {
            break;
        }
        const double side = std::min(sign.height() * 0.62, sign.width());
        const double x = m.item() ? sign.left() + 1 : sign.center().x() - side / 2;
        const QRectF box(x, sign.center().y() - side / 2, side, side);
        if (m.kind == Marker::Kind::Bullet) {
            p.setPen(Qt::NoPen);
            p.setBrush(paint::inkAt(0.7));
            p.drawEllipse(box.center(), side / 6, side / 6);
            continue;
        }
        const bool done = m.kind == Marker::Kind::Done;
        p.setPen(QPen(paint::inkAt(done ? 0.35 : 0.55), 1.3));
        p.setBrush(done ? paint::inkAt(0.12) : Qt::transparent);
        p.drawRoundedRect(box, side * 0.2, side * 0.2);
        if (done) {
            p.setPen(QPen(paint::inkAt(0.75), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF{box.topLeft() + QPointF(side * 0.22, side * 0.52),
                                     box.topLeft() + QPointF(side * 0.43, side * 0.74),
                                     box.topLeft() + QPointF(side * 0.8, side * 0.28)});
        }
    }
}

QTextBlock ChecklistStyle::boxAt(QPoint pos) const
{
    const QTextBlock block = edit_->cursorForPosition(pos).block();
    if (!checklist::markerOf(block.text()).item()) {
        return {};
    }
    const QRectF sign = signRect(block).adjusted(-4, 0, 4, 0);
    return sign.contains(pos) ? block : QTextBlock();
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

} // namespace noteview
