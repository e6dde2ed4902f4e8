#pragma once

#include "dashboard/Counts.h"
#include "model/NoteFilter.h"
#include "paint/Glyphs.h"

#include <QAbstractListModel>
#include <QStyledItemDelegate>
#include <optional>
#include <vector>

// The rows of the dashboard's sidebar: smart lists, folders (with the "New Folder" button),
// colours, tags and Recently Deleted, each filter row with its badge count.
struct SidebarRow {
    enum class Kind { Header, Gap, Filter, NewFolder };
    Kind kind = Kind::Filter;
    QString title;
    paint::Glyph symbol = paint::Glyph::NoteText;
    QString swatch; // colour name: drawn as a paper circle instead of a symbol
    bool tag = false;
    NoteFilter filter;
    int count = 0;

    bool sameShape(const SidebarRow& other) const
    {
        return kind == other.kind && title == other.title && filter == other.filter;
    }
};

class SidebarModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { KindRole = Qt::UserRole + 1, FilterRole, CountRole };

    explicit SidebarModel(QObject* parent = nullptr);

    // Rebuilds the rows; returns true when rows were added, removed or renamed (the view's
    // selection must then be placed again), false when at most the counts changed.
    bool setContent(const QStringList& folders, const QStringList& tags,
                    const dash::Counts& counts);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const SidebarRow& row(int r) const { return rows_[static_cast<size_t>(r)]; }
    // The row of a filter, or -1.
    int rowOf(const NoteFilter& filter) const;

private:
    std::vector<SidebarRow> rows_;
};

class SidebarDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The sidebar's width for the program's own row titles whole, in the user's language:
    // names the user typed may be elided, the program's own never are.
    static int widthForOwnTitles(const QFont& font);
};
