#pragma once

#include <QPlainTextEdit>

class ChecklistStyle;

// The editor's text: plain text whose checklist items show as boxes a click ticks, whose
// lists continue on Return, whose lines Ctrl+Shift+L makes items and whose formatting markers
// Ctrl+B, Ctrl+I and Ctrl+Shift+X toggle, as in a note.
class ChecklistEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ChecklistEdit(QWidget* parent = nullptr);

    void toggleChecklist();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Rich text keeps its bold, italic, strike, lists and checkboxes as markers.
    void insertFromMimeData(const QMimeData* source) override;

private:
    ChecklistStyle* style_ = nullptr;
};
