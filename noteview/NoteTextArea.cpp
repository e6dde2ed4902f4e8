#include "noteview/NoteTextArea.h"

#include "controller/NoteSizes.h"
#include "model/ChecklistStyle.h"
#include "model/FormatStyle.h"
#include "model/LongText.h"
#include "model/NoteGeometry.h"
#include "model/RichPaste.h"
#include "model/SpellCheck.h"
#include "paint/Palette.h"
#include "platform/Desktop.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <algorithm>
#include <memory>

namespace noteview {

namespace {

bool carriesImages(const QMimeData* source)
{
    if (source->hasImage()) {
        return true;
    }
    const QList<QUrl> urls = source->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); });
}

} // namespace

TextArea::TextArea(QWidget* parent)
    : QTextEdit(parent)
{
    setAcceptRichText(false);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setAccessibleName(QCoreApplication::translate("Note", "Note text"));
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);

    applyTextScale();

    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    pal.setColor(QPalette::Window, Qt::transparent);
    pal.setColor(QPalette::Text, paint::ink);
    // The caret and selection take the ink's tint; the selection is kept light enough that
    // the selected ink stays readable on the paper.
    pal.setColor(QPalette::Highlight, paint::inkAt(0.7 * 0.3));
    pal.setColor(QPalette::HighlightedText, paint::ink);
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Highlight, paint::inkAt(0.7 * 0.3));
        pal.setColor(group, QPalette::HighlightedText, paint::ink);
    }
    setPalette(pal);
    viewport()->setPalette(pal);

    applyFormats();
    checklist_ = new ChecklistStyle(document(), paint::ink, [this](int position) {
        QTextCursor at(document());
        at.setPosition(position);
        return cursorRect(at);
    });
    connect(this, &QTextEdit::cursorPositionChanged, this,
            [this] { checklist_->followCaret(textCursor().position()); });
    connect(this, &QTextEdit::textChanged, this, [this] {
        if (!updating_) {
            Q_EMIT edited(noteText());
        }
    });
}

QString TextArea::noteText() const
{
    if (!whole_.isNull()) {
        return whole_;
    }
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

void TextArea::setNoteText(const QString& text)
{
    if (text == noteText()) {
        return;
    }
    if (longtext::tooLongToEdit(text.size())) {
        whole_ = text;
        updating_ = true;
        setReadOnly(true);
        setPlainText(longtext::shownPart(text));
        applyFormats();
        updating_ = false;
        return;
    }
    if (!whole_.isNull()) {
        whole_ = QString();
        setReadOnly(false);
    }
    showWhole(text);
}

void TextArea::showWhole(const QString& text)
{
    const QTextCursor old = textCursor();
    const int anchor = old.anchor();
    const int position = old.position();
    updating_ = true;
    setPlainText(text);
    applyFormats();
    updating_ = false;

    QTextCursor c(document());
    const int end = std::max(0, static_cast<int>(document()->characterCount()) - 1);
    c.setPosition(std::clamp(anchor, 0, end));
    c.setPosition(std::clamp(position, 0, end), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void TextArea::applyFormats()
{
    const bool wasUpdating = updating_;
    updating_ = true;
    document()->setDocumentMargin(0);
    QTextFrameFormat frame = document()->rootFrame()->frameFormat();
    frame.setLeftMargin(textIndent);
    frame.setRightMargin(textIndent);
    document()->rootFrame()->setFrameFormat(frame);

    QTextCursor all(document());
    all.select(QTextCursor::Document);
    QTextBlockFormat block;
    block.setLineHeight(lineSpacing, QTextBlockFormat::LineDistanceHeight);
    all.mergeBlockFormat(block);
    // New blocks typed at the caret inherit the block format it sits in.
    QTextCursor caret = textCursor();
    caret.mergeBlockFormat(block);
    document()->setModified(false);
    updating_ = wasUpdating;
}

// Dropped files and images become the note's images, not text: leave them to the note.
void TextArea::dragEnterEvent(QDragEnterEvent* event)
{
    if (carriesImages(event->mimeData())) {
        event->ignore();
        return;
    }
    QTextEdit::dragEnterEvent(event);
}

void TextArea::dragMoveEvent(QDragMoveEvent* event)
{
    if (carriesImages(event->mimeData())) {
        event->ignore();
        return;
    }
    QTextEdit::dragMoveEvent(event);
}

namespace {

// As long as a picture's paste waits for its owner.
constexpr int pasteAnswerMs = 1000;

} // namespace

void TextArea::applyTextScale()
{
    QFont f = font();
    f.setPixelSize(geometry::textPixelSize());
    setFont(f);
    document()->setDefaultFont(f);
    if (checklist_ != nullptr) {
        checklist_->rehighlight(); // headings are sized from the text's
    }
}

void TextArea::keyPressEvent(QKeyEvent* event)
{
    if (const auto step = NoteSizes::textSizeStep(*event)) {
        event->accept();
        Q_EMIT textSizeAsked(*step);
        return;
    }
    if (!isReadOnly() && event->key() == Qt::Key_L &&
        event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier)) {
        toggleChecklist();
        return;
    }
    if (!isReadOnly() && formatKey(event)) {
        return;
    }
    if (!isReadOnly() && listKey(event)) {
        return;
    }
    if (event->matches(QKeySequence::Paste) && !isReadOnly()) {
        event->accept();
        pasteWithoutWaiting();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void TextArea::paintEvent(QPaintEvent* event)
{
    QTextEdit::paintEvent(event);
    QPainter p(viewport());
    checklist_->paintMarkers(p, cursorForPosition(QPoint(0, 0)).block(), viewport()->height());
}

// A click on an item's box ticks it; the caret stays where it was.
void TextArea::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const QTextBlock block = cursorForPosition(at).block();
    if (event->button() == Qt::LeftButton && !isReadOnly() && checklist_->onBox(block, at)) {
        event->accept();
        ChecklistStyle::toggle(block);
        return;
    }
    QTextEdit::mousePressEvent(event);
}

void TextArea::contextMenuEvent(QContextMenuEvent* event)
{
    // Not our child: the menu never outlives the text it acts on.
    const std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    if (!isReadOnly()) {
        spellcheck::offerCorrections(*menu, cursorForPosition(event->pos()));
    }
    menu->addSeparator();
    QAction* list = menu->addAction(QCoreApplication::translate("Note", "Checklist"), this,
                                    &TextArea::toggleChecklist);
    list->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
    list->setEnabled(!isReadOnly());
    formatting::addFormatMenu(*menu, !isReadOnly(), [this](std::optional<formatting::Style> s) {
        QTextCursor c = textCursor();
        formatting::apply(c, s);
        setTextCursor(c);
    });
    if (extendMenu) {
        menu->addSeparator();
        extendMenu(*menu);
    }
    menu->exec(event->globalPos());
}

bool TextArea::formatKey(QKeyEvent* event)
{
    QTextCursor c = textCursor();
    if (!formatting::formatKey(c, *event)) {
        return false;
    }
    setTextCursor(c);
    return true;
}

bool TextArea::listKey(QKeyEvent* event)
{
    const bool plainKey =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    QTextCursor c = textCursor();
    if (!plainKey || !ChecklistStyle::listKey(c, event->key())) {
        return false;
    }
    setTextCursor(c);
    ensureCursorVisible();
    return true;
}

void TextArea::toggleChecklist()
{
    ChecklistStyle::toggleItems(textCursor());
}

void TextArea::pasteWithoutWaiting()
{
    platform::desktop().readClipboard(
        this, pasteAnswerMs, [this](const platform::ClipboardContent& content) {
            if (content.kind == platform::ClipboardContent::Kind::Image) {
                Q_EMIT imagePasted(content.image.isNull() ? Images::Source::encoded(content.bytes)
                                                          : Images::Source::of(content.image));
                return;
            }
            if (content.kind != platform::ClipboardContent::Kind::Text || isReadOnly()) {
                return;
            }
            if (content.text.isNull()) {
                paste(); // offered only in forms not read off the thread: the toolkit knows more
                return;
            }
            QMimeData text;
            text.setText(content.text);
            if (!content.html.isEmpty()) {
                text.setHtml(content.html);
            }
            insertFromMimeData(&text);
        });
}

void TextArea::insertFromMimeData(const QMimeData* source)
{
    // Plain text with the markers of what rich text it was, whatever else the source offers.
    if (!source->hasText() && !source->hasHtml()) {
        return;
    }
    formatting::paste(this, *source, [this](const QString& pasted) { insertPasted(pasted); });
}

void TextArea::insertPasted(const QString& pasted)
{
    if (isReadOnly()) {
        return;
    }
    const QTextCursor at = textCursor();
    const qsizetype length = document()->characterCount() - 1;
    if (!longtext::tooLongToEdit(length - (at.selectionEnd() - at.selectionStart()) +
                                 pasted.size())) {
        insertPlainText(pasted);
        return;
    }
    // Too long to lay out: the note takes it whole, and shows its beginning.
    const QString text = noteText();
    Q_EMIT edited(text.left(at.selectionStart()) + pasted + text.mid(at.selectionEnd()));
}

} // namespace noteview
