#pragma once

#include <QListView>

// A list view whose arrow keys step over rows that cannot be selected (section headers and
// buttons), and that reports the Delete key instead of ignoring it.
class DashListView : public QListView {
    Q_OBJECT
public:
    explicit DashListView(QWidget* parent = nullptr);

Q_SIGNALS:
    void deletePressed();

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool selectable(const QModelIndex& index) const;
};
