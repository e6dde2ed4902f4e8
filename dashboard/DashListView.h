#pragma once

#include <QListView>

// A list view whose arrow keys step over rows that cannot be selected (section headers and
// buttons), and that reports Delete and Backspace on the highlighted row instead of ignoring
// them.
class DashListView : public QListView {
    Q_OBJECT
public:
    explicit DashListView(QWidget* parent = nullptr);

    // The dashboard's thin scroll bar, for any of its scrolling panes.
    static QString slimScrollBarStyle(bool dark);

Q_SIGNALS:
    void deletePressed(const QModelIndex& row);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    // The current row when it is also selected, else an invalid index.
    QModelIndex shownSelection() const;
    bool selectable(const QModelIndex& index) const;
    // A row the arrow keys stop on: a selectable one, or a button row.
    bool reachable(const QModelIndex& index) const;
};
