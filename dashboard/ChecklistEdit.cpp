#include "dashboard/ChecklistEdit.h"

#include "model/ChecklistStyle.h"
#include "model/FormatStyle.h"
#include "model/RichPaste.h"
#include "model/SpellCheck.h"
#include "paint/Palette.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QTextBlock>
#include <memory>

ChecklistEdit::ChecklistEdit(QWidget* parent)
    : QPlainTextEdit(parent)
{
    style_ = new ChecklistStyle(document(), paint::ink, [this](int position) {
        QTextCursor at(document());
        at.setPosition(position);
        return cursorRect(at);
    });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { style_->followCaret(textCursor().position()); });
}

void ChecklistEdit::toggleChecklist()
{
    ChecklistStyle::toggleItems(textCursor());
}

void ChecklistEdit::paintEvent(QPaintEvent* event)
{
    QPlainTextEdit::paintEvent(event);
    QPainter p(viewport());
    style_->paintMarkers(p, firstVisibleBlock(), viewport()->height());
}

void ChecklistEdit::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const QTextBlock block = cursorForPosition(at).block();
    if (event->button() == Qt::LeftButton && !isReadOnly() && style_->onBox(block, at)) {
        event->accept();
        ChecklistStyle::toggle(block);
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}

void ChecklistEdit::keyPressEvent(QKeyEvent* event)
{
    if (!isReadOnly() && event->key() == Qt::Key_L &&
        event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier)) {
        toggleChecklist();
        return;
    }
    QTextCursor c = textCursor();
    if (!isReadOnly() && formatting::formatKey(c, *event)) {
        setTextCursor(c);
        return;
    }
    const bool plainKey =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (!isReadOnly() && plainKey && ChecklistStyle::listKey(c, event->key())) {
        setTextCursor(c);
        ensureCursorVisible();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void ChecklistEdit::contextMenuEvent(QContextMenuEvent* event)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    if (!isReadOnly()) {
        spellcheck::offerCorrections(*menu, cursorForPosition(event->pos()));
    }
    menu->addSeparator();
    QAction* list = menu->addAction(QCoreApplication::translate("Note", "Checklist"), this,
                                    &ChecklistEdit::toggleChecklist);
    list->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
    list->setEnabled(!isReadOnly());
    formatting::addFormatMenu(*menu, !isReadOnly(), [this](std::optional<formatting::Style> s) {
        QTextCursor c = textCursor();
        formatting::apply(c, s);
        setTextCursor(c);
    });
    menu->exec(event->globalPos());
}

void ChecklistEdit::changeEvent(QEvent* event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        style_->rehighlight(); // headings are sized from the text's
    }
}

void ChecklistEdit::insertFromMimeData(const QMimeData* source)
{
    if (source->hasText() || source->hasHtml()) {
        formatting::paste(this, *source, [this](const QString& pasted) {
            if (!isReadOnly()) {
                insertPlainText(pasted);
            }
        });
    }
}
