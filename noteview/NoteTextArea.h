#pragma once

#include "model/Images.h"

#include <QTextEdit>
#include <functional>

class QMenu;

class ChecklistStyle;

namespace noteview {

// The note's text area: plain text in the note font on transparent paper, no frame and no
// scroll bars. Files and images dragged over it are left to the note, which adds them as
// images; dropped text is inserted as usual.
class TextArea : public QTextEdit {
    Q_OBJECT
public:
    explicit TextArea(QWidget* parent = nullptr);

    // The text as the note stores it: blocks joined by line feeds, every other character kept.
    QString noteText() const;
    // Replaces the text without emitting edited(), keeping the caret where it was (clamped). A
    // text too long to edit is shown in part and read-only.
    void setNoteText(const QString& text);

    // The note font at the notes' text size (geometry::textPixelSize).
    void applyTextScale();
    // The extra space between lines.
    static constexpr int lineSpacing = 3;
    // Adds the note's own entries to the text's menu.
    std::function<void(QMenu& menu)> extendMenu;
    // Space between the editor's edge and the text, as the placeholder is placed.
    static constexpr int textIndent = 5;

Q_SIGNALS:
    // The user changed the text.
    void edited(const QString& text);
    // A paste found a picture on the clipboard (its kind was not known when the key came).
    void imagePasted(const Images::Source& source);
    // Ctrl+=, Ctrl+- or Ctrl+0: the notes' text one step larger, smaller or as usual.
    void textSizeAsked(int step);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

public:
    // "Checklist": the selected lines (or the caret's) become items, or plain lines again
    // when all of them are items already.
    void toggleChecklist();

private:
    // The toolkit's paste waits seconds on an owner that lists its formats and then stalls:
    // the text is asked for off this thread, within a deadline, and inserted when it comes.
    void pasteWithoutWaiting();
    void applyFormats();
    void showWhole(const QString& text);
    // At the caret, or in the note's whole text when the result is too long to edit.
    void insertPasted(const QString& pasted);
    // Return and Backspace at an item or a bullet continue or end the list.
    bool listKey(QKeyEvent* event);
    // Ctrl+B, Ctrl+I, Ctrl+Shift+X: formatting markers around the selection.
    bool formatKey(QKeyEvent* event);

    ChecklistStyle* checklist_ = nullptr;

    bool updating_ = false;
    // The note's whole text while only its beginning is shown; null otherwise.
    QString whole_;
};

} // namespace noteview
