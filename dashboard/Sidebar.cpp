#include "dashboard/Sidebar.h"

#include "dashboard/Theme.h"
#include "model/FolderNames.h"
#include "paint/Palette.h"
#include "paint/Shapes.h"

#include <QCoreApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

SidebarRow header(const QString& title)
{
    SidebarRow row;
    row.kind = SidebarRow::Kind::Header;
    row.title = title;
    return row;
}

SidebarRow gap()
{
    SidebarRow row;
    row.kind = SidebarRow::Kind::Gap;
    return row;
}

SidebarRow filterRow(const QString& title, paint::Glyph symbol, const NoteFilter& filter,
                     const dash::Counts& counts)
{
    SidebarRow row;
    row.title = title;
    row.symbol = symbol;
    row.filter = filter;
    row.count = counts(filter);
    return row;
}

} // namespace

SidebarModel::SidebarModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

bool SidebarModel::setContent(const QStringList& folders, const QStringList& tags,
                              const dash::Counts& counts)
{
    using paint::Glyph;
    std::vector<SidebarRow> rows;
    rows.push_back(filterRow(QCoreApplication::translate("Dashboard", "All Notes"), Glyph::NoteText,
                             NoteFilter::all(), counts));
    rows.push_back(filterRow(QCoreApplication::translate("Dashboard", "On Screen"), Glyph::Window,
                             NoteFilter::onScreen(), counts));
    rows.push_back(filterRow(QCoreApplication::translate("Dashboard", "Pinned"), Glyph::Pin,
                             NoteFilter::pinned(), counts));
    rows.push_back(filterRow(QCoreApplication::translate("Dashboard", "Reminders"), Glyph::Clock,
                             NoteFilter::reminders(), counts));

    rows.push_back(header(QCoreApplication::translate("Dashboard", "Folders")));
    for (const QString& name : folders) {
        rows.push_back(
            filterRow(FolderNames::shown(name), Glyph::Folder, NoteFilter::folder(name), counts));
    }
    SidebarRow newFolder;
    newFolder.kind = SidebarRow::Kind::NewFolder;
    newFolder.title = QCoreApplication::translate("Dashboard", "New Folder");
    newFolder.symbol = Glyph::FolderPlus;
    rows.push_back(newFolder);

    rows.push_back(header(QCoreApplication::translate("Dashboard", "Colors")));
    for (const QString& name : paint::colorNames()) {
        SidebarRow row =
            filterRow(paint::colorTitle(name), Glyph::NoteText, NoteFilter::color(name), counts);
        row.swatch = name;
        rows.push_back(row);
    }

    if (!tags.isEmpty()) {
        rows.push_back(header(QCoreApplication::translate("Dashboard", "Tags")));
        for (const QString& tag : tags) {
            SidebarRow row = filterRow(tag, Glyph::Number, NoteFilter::tag(tag), counts);
            row.tag = true;
            row.count = 0; // tag rows carry no badge
            rows.push_back(row);
        }
    }

    rows.push_back(gap());
    rows.push_back(filterRow(QCoreApplication::translate("Dashboard", "Recently Deleted"),
                             Glyph::Trash, NoteFilter::deleted(), counts));

    const bool sameShape =
        rows.size() == rows_.size() &&
        std::equal(rows.begin(), rows.end(), rows_.begin(),
                   [](const SidebarRow& a, const SidebarRow& b) { return a.sameShape(b); });
    if (sameShape) {
        rows_ = std::move(rows);
        if (!rows_.empty()) {
            Q_EMIT dataChanged(index(0), index(rowCount() - 1), {CountRole});
        }
        return false;
    }
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
    return true;
}

int SidebarModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant SidebarModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const SidebarRow& r = row(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return r.title;
    case Qt::AccessibleTextRole:
        return r.count > 0 ? QStringLiteral("%1, %2").arg(r.title).arg(r.count) : r.title;
    case Qt::AccessibleDescriptionRole:
        // A list gives every row the same role: a section's title says what it is in words.
        return r.kind == SidebarRow::Kind::Header
                   ? QVariant(QCoreApplication::translate("Dashboard", "Section heading"))
                   : QVariant();
    case KindRole:
        return static_cast<int>(r.kind);
    case FilterRole:
        return QVariant::fromValue(r.filter);
    case CountRole:
        return r.count;
    default:
        return {};
    }
}

Qt::ItemFlags SidebarModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    switch (row(index.row()).kind) {
    case SidebarRow::Kind::Filter:
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    case SidebarRow::Kind::NewFolder:
        return Qt::ItemIsEnabled;
    default:
        return Qt::NoItemFlags;
    }
}

int SidebarModel::rowOf(const NoteFilter& filter) const
{
    for (size_t r = 0; r < rows_.size(); ++r) {
        if (rows_[r].kind == SidebarRow::Kind::Filter && rows_[r].filter == filter) {
            return static_cast<int>(r);
        }
    }
    return -1;
}

QSize SidebarDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    switch (static_cast<SidebarRow::Kind>(index.data(SidebarModel::KindRole).toInt())) {
    case SidebarRow::Kind::Header:
        return {100, 30};
    case SidebarRow::Kind::Gap:
        return {100, 10};
    default:
        return {100, 28};
    }
}

int SidebarDelegate::widthForOwnTitles(const QFont& font)
{
    QStringList titles{QCoreApplication::translate("Dashboard", "All Notes"),
                       QCoreApplication::translate("Dashboard", "On Screen"),
                       QCoreApplication::translate("Dashboard", "Pinned"),
                       QCoreApplication::translate("Dashboard", "New Folder"),
                       QCoreApplication::translate("Dashboard", "Recently Deleted")};
    for (const QString& folder : FolderNames::defaults()) {
        titles << FolderNames::shown(folder);
    }
    for (const QString& color : paint::colorNames()) {
        titles << paint::colorTitle(color);
    }
    QFont text = font;
    text.setPixelSize(13);
    QFont badge = font;
    badge.setPixelSize(12);
    const QFontMetricsF metrics(text);
    double widest = 0;
    for (const QString& title : titles) {
        widest = std::max(widest, metrics.horizontalAdvance(title));
    }
    // The pill's margins, the icon and its gap, a two-digit count and its gap, the scroll bar.
    const double chrome =
        8 + 8 + 16 + 8 + 8 + QFontMetricsF(badge).horizontalAdvance("88") + 8 + 8 + 9;
    return int(std::ceil(widest + chrome));
}

void SidebarDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    const auto* model = static_cast<const SidebarModel*>(index.model());
    const SidebarRow& row = model->row(index.row());
    const QRectF r = QRectF(option.rect);
    const QColor text = option.palette.color(QPalette::Active, QPalette::WindowText);
    QColor secondary = text;
    secondary.setAlphaF(0.5f);

    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    QFont font = option.font;
    if (row.kind == SidebarRow::Kind::Header) {
        font.setPixelSize(11);
        font.setWeight(QFont::DemiBold);
        p->setFont(font);
        p->setPen(secondary);
        p->drawText(r.adjusted(14, 0, -8, -4), Qt::AlignLeft | Qt::AlignBottom, row.title);
        p->restore();
        return;
    }
    if (row.kind == SidebarRow::Kind::Gap) {
        p->restore();
        return;
    }

    const bool selected = option.state & QStyle::State_Selected;
    const bool hovered = option.state & QStyle::State_MouseOver;
    const QRectF pill = r.adjusted(8, 1, -8, -1);
    if (selected) {
        QColor fill = option.palette.color(QPalette::Highlight);
        fill.setAlphaF(option.state & QStyle::State_HasFocus || option.state & QStyle::State_Active
                           ? 0.22f
                           : 0.14f);
        p->fillPath(paint::continuousRect(pill, 6), fill);
    } else if (hovered) {
        p->fillPath(paint::continuousRect(pill, 6), dash::faint(text, 0.06));
    }
    if (!selected && option.state & QStyle::State_HasFocus) {
        dash::paintFocusRing(*p, pill, 6, option.palette);
    }

    QColor color = row.tag ? dash::theme(dash::isDark(option.palette)).tag : text;
    if (row.kind == SidebarRow::Kind::NewFolder) {
        color = secondary;
    }
    const QRectF icon(pill.left() + 8, pill.center().y() - 8, 16, 16);
    if (!row.swatch.isEmpty()) {
        const QRectF circle(icon.center().x() - 5.5, icon.center().y() - 5.5, 11, 11);
        p->setPen(Qt::NoPen);
        p->setBrush(paint::paperGradient(row.swatch, circle));
        p->drawEllipse(circle);
        p->setPen(QPen(QColor::fromRgbF(0, 0, 0, 0.12f), 0.5));
        p->setBrush(Qt::NoBrush);
        p->drawEllipse(circle.adjusted(0.25, 0.25, -0.25, -0.25));
    } else {
        QColor glyph = color;
        if (!row.tag && row.kind == SidebarRow::Kind::Filter) {
            glyph = option.palette.color(QPalette::Highlight);
        }
        paint::paintGlyph(*p, row.symbol, icon, glyph);
    }

    font.setPixelSize(13);
    p->setFont(font);
    QRectF textRect(icon.right() + 8, pill.top(), 0, pill.height());
    double right = pill.right() - 8;
    if (row.count > 0) {
        QFont badgeFont = font;
        badgeFont.setPixelSize(12);
        const QString badge = QString::number(row.count);
        const double w = QFontMetricsF(badgeFont).horizontalAdvance(badge);
        p->setFont(badgeFont);
        p->setPen(secondary);
        p->drawText(QRectF(right - w, pill.top(), w, pill.height()),
                    Qt::AlignVCenter | Qt::AlignRight, badge);
        right -= w + 8;
        p->setFont(font);
    }
    textRect.setRight(right);
    p->setPen(color);
    p->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                QFontMetricsF(font).elidedText(row.title, Qt::ElideRight, textRect.width()));
    p->restore();
}
