#pragma once

#include "dashboard/ListContents.h"

#include <QAbstractListModel>
#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QUuid>
#include <vector>

class NoteModel;

// The middle column: section headers ("Pinned", "Today", ...) and one row per note.
class NoteListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { NoteRole = Qt::UserRole + 1, IdRole, HeaderRole };

    explicit NoteListModel(QObject* parent = nullptr);

    // Shows `groups`; returns true when the rows changed (the view's selection and scroll
    // position must be put back), false when only their contents may have.
    bool setGroups(const QList<dash::Group>& groups);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    NoteModel* noteAt(int row) const;
    int rowOf(const QUuid& id) const;

private:
    struct Item {
        QString header; // empty for a note row
        QPointer<NoteModel> note;
        QUuid id;
        bool operator==(const Item& other) const
        {
            return header == other.header && note == other.note && id == other.id;
        }
    };
    std::vector<Item> items_;
};

// Paints one note row: colour bar, title (with the on-screen mark), age and preview, folder,
// and a thumbnail of the first image.
class NoteRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static constexpr int rowHeight = 64;
    static constexpr int headerHeight = 30;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // Where the on-screen mark sits in a row (for its tooltip).
    static QRectF onScreenMarkRect(const QStyleOptionViewItem& option, bool hasThumbnail);

private:
    QPixmap thumbnail(const QString& name, qreal dpr) const;
    void paintHeader(QPainter* p, const QStyleOptionViewItem& option, const QString& title) const;
    void paintNote(QPainter* p, const QStyleOptionViewItem& option, const NoteModel& note) const;

    // Images are named by unique ids and never change, so a thumbnail once made stays valid.
    mutable QHash<QString, QPixmap> thumbnails_;
};
