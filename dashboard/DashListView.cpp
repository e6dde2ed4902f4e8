#include "dashboard/DashListView.h"

#include "dashboard/Theme.h"

#include <QKeyEvent>
#include <QScrollBar>

DashListView::DashListView(QWidget* parent)
    : QListView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setMouseTracking(true);
    // A slim overlay-style scroll bar, as the sidebar-and-list layout expects.
    // On the bar alone: a style sheet on the view would take over the colours of its rows.
    verticalScrollBar()->setStyleSheet(slimScrollBarStyle(false));
}

QString DashListView::slimScrollBarStyle(bool dark)
{
    const int shade = dark ? 255 : 0;
    return QStringLiteral(
               "QScrollBar:vertical { width: 9px; background: transparent; margin: 2px 1px; }"
               "QScrollBar::handle:vertical { background: rgba(%1, %1, %1, 55);"
               " border-radius: 3px; min-height: 28px; margin: 0 1px; }"
               "QScrollBar::handle:vertical:hover { background: rgba(%1, %1, %1, 90); }"
               "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
               "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
        .arg(shade);
}

void DashListView::changeEvent(QEvent* event)
{
    QListView::changeEvent(event);
    // Setting a style sheet can change the palette again: only a new one is set.
    const QString style = slimScrollBarStyle(dash::isDark(palette()));
    if (event->type() == QEvent::PaletteChange && verticalScrollBar()->styleSheet() != style) {
        verticalScrollBar()->setStyleSheet(style);
    }
}

bool DashListView::selectable(const QModelIndex& index) const
{
    return index.isValid() && (index.flags() & Qt::ItemIsSelectable);
}

bool DashListView::reachable(const QModelIndex& index) const
{
    return index.isValid() && (index.flags() & Qt::ItemIsEnabled);
}

QItemSelectionModel::SelectionFlags DashListView::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const
{
    // A button row ("New Folder") takes the cursor but leaves the selection where it was.
    if (index.isValid() && !selectable(index)) {
        return QItemSelectionModel::NoUpdate;
    }
    return QListView::selectionCommand(index, event);
}

void DashListView::focusInEvent(QFocusEvent* event)
{
    QListView::focusInEvent(event);
    // The focus shows on a row: with none current, the first one the keys can reach.
    if (!currentIndex().isValid() && model()) {
        for (int r = 0; r < model()->rowCount(rootIndex()); ++r) {
            if (const QModelIndex row = model()->index(r, 0, rootIndex()); reachable(row)) {
                selectionModel()->setCurrentIndex(row, QItemSelectionModel::NoUpdate);
                break;
            }
        }
    }
}

QModelIndex DashListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const int rows = model() ? model()->rowCount(rootIndex()) : 0;
    const QModelIndex current = currentIndex();
    int step = 0;
    int row = current.isValid() ? current.row() : -1;
    switch (action) {
    case MoveUp:
    case MovePrevious:
        step = -1;
        break;
    case MoveDown:
    case MoveNext:
        step = 1;
        break;
    case MoveHome:
        row = -1;
        step = 1;
        break;
    case MoveEnd:
        row = rows;
        step = -1;
        break;
    default:
        return QListView::moveCursor(action, modifiers);
    }
    for (int r = row + step; r >= 0 && r < rows; r += step) {
        const QModelIndex candidate = model()->index(r, 0, rootIndex());
        if (reachable(candidate)) {
            return candidate;
        }
    }
    return current;
}

QModelIndex DashListView::shownSelection() const
{
    const QModelIndex current = currentIndex();
    return selectable(current) && selectionModel()->isSelected(current) ? current : QModelIndex();
}

void DashListView::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) &&
        event->modifiers() == Qt::NoModifier) {
        // Only a row the user can see highlighted, in the list they are typing into, is acted
        // on: never something the editor alone still shows.
        const QModelIndex row = shownSelection();
        if (row.isValid() && hasFocus()) {
            scrollTo(row); // the row goes where it can be seen going
            Q_EMIT deletePressed(row);
        }
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
    // With the cursor already on the only row, a move lands where it was and the toolkit
    // selects nothing: the row the cursor rests on is selected, as any other move does.
    static const QList<int> moves{Qt::Key_Up,  Qt::Key_Down,   Qt::Key_Home,
                                  Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown};
    const QModelIndex current = currentIndex();
    if (moves.contains(event->key()) && selectable(current) &&
        !selectionModel()->isSelected(current)) {
        selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    }
}
