#include "dashboard/NoteList.h"

#include "dashboard/Theme.h"
#include "model/Checklist.h"
#include "model/FolderNames.h"
#include "model/ImageWork.h"
#include "model/Images.h"
#include "model/NoteModel.h"
#include "model/RelativeTime.h"
#include "model/ReminderTimes.h"
#include "paint/Glyphs.h"
#include "paint/Palette.h"
#include "paint/Shapes.h"
#include "platform/Clock.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace {

// A checklist's row says how far it has got; other notes show their second line.
QString rowPreview(const NoteModel& note)
{
    // As far as titles and previews read: a huge note costs no more per paint.
    constexpr qsizetype scope = 64 * 1024;
    if (const auto p = checklist::progress(QStringView(note.text()).left(scope))) {
        return QCoreApplication::translate("Dashboard", "%1 of %2 done").arg(p->done).arg(p->items);
    }
    return note.preview();
}

} // namespace

NoteListModel::NoteListModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

bool NoteListModel::setGroups(const QList<dash::Group>& groups)
{
    std::vector<Item> items;
    for (const dash::Group& group : groups) {
        items.push_back({group.title, nullptr, {}});
        for (NoteModel* note : group.notes) {
            items.push_back({{}, note, note->id()});
        }
    }
    if (items == items_) {
        if (!items_.empty()) {
            Q_EMIT dataChanged(index(0), index(rowCount() - 1));
        }
        return false;
    }
    beginResetModel();
    items_ = std::move(items);
    endResetModel();
    return true;
}

int NoteListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

NoteModel* NoteListModel::noteAt(int row) const
{
    if (row < 0 || row >= rowCount()) {
        return nullptr;
    }
    return items_[static_cast<size_t>(row)].note;
}

int NoteListModel::rowOf(const QUuid& id) const
{
    for (size_t r = 0; r < items_.size(); ++r) {
        if (items_[r].note && items_[r].id == id) {
            return static_cast<int>(r);
        }
    }
    return -1;
}

QVariant NoteListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const Item& item = items_[static_cast<size_t>(index.row())];
    const NoteModel* note = item.note;
    switch (role) {
    case Qt::DisplayRole:
        return note ? note->title() : item.header;
    case Qt::AccessibleTextRole: {
        if (!note) {
            return item.header;
        }
        QStringList parts{note->title(), relativeTime(note->modified()), rowPreview(*note),
                          FolderNames::shown(note->folder())};
        if (note->remindAt()) {
            parts << reminders::label(*note->remindAt(), platform::now());
        }
        return parts.join(QStringLiteral(", "));
    }
    case NoteRole:
        return QVariant::fromValue(static_cast<QObject*>(item.note.data()));
    case IdRole:
        return note ? QVariant(item.id) : QVariant();
    case HeaderRole:
        return !note;
    default:
        return {};
    }
}

Qt::ItemFlags NoteListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= rowCount()) {
        return Qt::NoItemFlags;
    }
    return items_[static_cast<size_t>(index.row())].note ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                                                         : Qt::NoItemFlags;
}

QSize NoteRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    return {200, index.data(NoteListModel::HeaderRole).toBool() ? headerHeight : rowHeight};
}

void NoteRowDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    if (index.data(NoteListModel::HeaderRole).toBool()) {
        paintHeader(p, option, index.data(Qt::DisplayRole).toString());
        return;
    }
    const auto* model = static_cast<const NoteListModel*>(index.model());
    if (const NoteModel* note = model->noteAt(index.row())) {
        paintNote(p, option, *note);
    }
}

void NoteRowDelegate::paintHeader(QPainter* p, const QStyleOptionViewItem& option,
                                  const QString& title) const
{
    p->save();
    QFont font = option.font;
    font.setPixelSize(12);
    font.setWeight(QFont::Bold);
    p->setFont(font);
    QColor color = option.palette.color(QPalette::Active, QPalette::WindowText);
    color.setAlphaF(0.62f);
    p->setPen(color);
    p->drawText(QRectF(option.rect).adjusted(18, 0, -12, -5), Qt::AlignLeft | Qt::AlignBottom,
                title);
    p->restore();
}

namespace {

// The geometry of a note row, shared by painting and tooltips.
struct RowLayout {
    QRectF cell, box, bar, thumb;
    double left = 0, right = 0, top = 0;
    QFont titleFont, lineFont, folderFont;
};

RowLayout rowLayout(const QStyleOptionViewItem& option, bool hasThumbnail)
{
    RowLayout l;
    l.cell = QRectF(option.rect).adjusted(8, 1, -8, -1);
    l.box = l.cell.adjusted(10, 5, -4, -5); // 4 points of padding above and below
    l.bar = QRectF(l.box.left(), l.box.top(), 4, l.box.height());
    l.right = l.box.right();
    if (hasThumbnail) {
        l.thumb = QRectF(l.box.right() - 36, l.box.center().y() - 18, 36, 36);
        l.right = l.thumb.left() - 10;
    }
    l.left = l.bar.right() + 10;
    l.titleFont = option.font;
    l.titleFont.setPixelSize(13);
    l.titleFont.setWeight(QFont::DemiBold);
    l.lineFont = option.font;
    l.lineFont.setPixelSize(12);
    l.folderFont = option.font;
    l.folderFont.setPixelSize(11);
    const double total = QFontMetricsF(l.titleFont).height() + 2 +
                         QFontMetricsF(l.lineFont).height() + 2 +
                         QFontMetricsF(l.folderFont).height();
    l.top = l.box.center().y() - total / 2;
    return l;
}

QRectF markRect(const RowLayout& l)
{
    const double h = QFontMetricsF(l.titleFont).height();
    return QRectF(l.right - 13, l.top + (h - 13) / 2, 13, 13);
}

} // namespace

QRectF NoteRowDelegate::onScreenMarkRect(const QStyleOptionViewItem& option, bool hasThumbnail)
{
    return markRect(rowLayout(option, hasThumbnail));
}

QPixmap NoteRowDelegate::thumbnail(const QString& name, qreal dpr) const
{
    const QString key = name + QLatin1Char('@') + QString::number(dpr);
    if (const auto found = thumbnails_.constFind(key); found != thumbnails_.cend()) {
        return *found;
    }
    if (thumbnails_.size() > 400) {
        thumbnails_.clear();
    }
    QPixmap pixmap;
    // Made on the worker; the list repaints when it is ready.
    QObject* view = parent();
    const int side = static_cast<int>(std::ceil(36 * dpr));
    const QImage filled = Images::shownFilled(name, QSize(side, side), view, [view] {
        if (auto* list = qobject_cast<QAbstractItemView*>(view)) {
            list->viewport()->update();
        }
    });
    if (!filled.isNull()) {
        pixmap = QPixmap::fromImage(filled);
        pixmap.setDevicePixelRatio(dpr);
        // A file that is missing now may come back (a restored backup, a slow disk): only
        // what was found is kept.
        thumbnails_.insert(key, pixmap);
    }
    return pixmap;
}

void NoteRowDelegate::paintNote(QPainter* p, const QStyleOptionViewItem& option,
                                const NoteModel& note) const
{
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    const QColor text = option.palette.color(QPalette::Active, QPalette::WindowText);
    QColor secondary = text;
    secondary.setAlphaF(0.55f);
    QColor tertiary = text;
    tertiary.setAlphaF(0.4f);

    const QStringList& images = note.images();
    const QPixmap thumb =
        images.isEmpty() ? QPixmap() : thumbnail(images.first(), p->device()->devicePixelRatioF());
    // A picture still on its way from another computer, or being read, holds its place in grey.
    const bool waiting =
        thumb.isNull() && !images.isEmpty() &&
        (Images::awaited(images.first()) || Images::shownSize(images.first()).isValid());
    const RowLayout l = rowLayout(option, !thumb.isNull() || waiting);

    if (option.state & QStyle::State_Selected) {
        QColor fill = option.palette.color(QPalette::Highlight);
        fill.setAlphaF(option.state & QStyle::State_HasFocus ? 0.24f : 0.16f);
        p->fillPath(paint::continuousRect(l.cell, 7), fill);
    } else if (option.state & QStyle::State_MouseOver) {
        p->fillPath(paint::continuousRect(l.cell, 7), dash::faint(text, 0.05));
    }
    if (!(option.state & QStyle::State_Selected) && option.state & QStyle::State_HasFocus) {
        dash::paintFocusRing(*p, l.cell, 7, option.palette);
    }

    p->fillPath(paint::continuousRect(l.bar, 2), paint::paperGradient(note.color(), l.bar));

    if (!thumb.isNull()) {
        p->save();
        p->setClipPath(paint::continuousRect(l.thumb, 6));
        p->drawPixmap(l.thumb, thumb, QRectF(QPointF(0, 0), thumb.size()));
        p->restore();
        p->setPen(QPen(QColor::fromRgbF(0, 0, 0, 0.12f), 0.5));
        p->setBrush(Qt::NoBrush);
        p->drawPath(paint::continuousRect(l.thumb.adjusted(0.25, 0.25, -0.25, -0.25), 6));
    } else if (waiting) {
        p->fillPath(paint::continuousRect(l.thumb, 6), dash::faint(text, 0.1));
    }

    const QFontMetricsF titleM(l.titleFont), lineM(l.lineFont), folderM(l.folderFont);
    const double left = l.left;
    const double right = l.right;
    double y = l.top;

    // Title line, with the on-screen mark at its end.
    double titleRight = right;
    if (note.onScreen()) {
        const QRectF mark = markRect(l);
        paint::paintGlyph(*p, paint::Glyph::Window, mark, secondary);
        titleRight = mark.left() - 4;
    }
    p->setFont(l.titleFont);
    p->setPen(text);
    p->drawText(QRectF(left, y, titleRight - left, titleM.height()),
                Qt::AlignLeft | Qt::AlignVCenter,
                titleM.elidedText(note.title(), Qt::ElideRight, titleRight - left));
    y += titleM.height() + 2;

    // Age, then the preview.
    p->setFont(l.lineFont);
    const QString age = relativeTime(note.modified());
    const double ageW = std::min(lineM.horizontalAdvance(age), right - left);
    p->drawText(QRectF(left, y, ageW + 1, lineM.height()), Qt::AlignLeft | Qt::AlignVCenter, age);
    const double previewLeft = left + ageW + 6;
    if (previewLeft < right) {
        p->setPen(secondary);
        p->drawText(QRectF(previewLeft, y, right - previewLeft, lineM.height()),
                    Qt::AlignLeft | Qt::AlignVCenter,
                    lineM.elidedText(rowPreview(note), Qt::ElideRight, right - previewLeft));
    }
    y += lineM.height() + 2;

    // Folder label, and at the end the reminder's time.
    const QRectF folderIcon(left, y + (folderM.height() - 11) / 2, 11, 11);
    paint::paintGlyph(*p, paint::Glyph::Folder, folderIcon, tertiary);
    p->setFont(l.folderFont);
    p->setPen(tertiary);
    const double folderLeft = folderIcon.right() + 4;
    double folderRight = right;
    if (note.remindAt()) {
        const QString when = reminders::label(*note.remindAt(), platform::now());
        const double whenW = std::min(folderM.horizontalAdvance(when), right - folderLeft - 40);
        const QRectF whenRect(right - whenW, y, whenW, folderM.height());
        p->drawText(whenRect, Qt::AlignRight | Qt::AlignVCenter,
                    folderM.elidedText(when, Qt::ElideRight, whenW));
        const QRectF clock(whenRect.left() - 15, y + (folderM.height() - 11) / 2, 11, 11);
        paint::paintGlyph(*p, paint::Glyph::Clock, clock, tertiary);
        folderRight = clock.left() - 6;
    }
    p->drawText(QRectF(folderLeft, y, std::max(0.0, folderRight - folderLeft), folderM.height()),
                Qt::AlignLeft | Qt::AlignVCenter,
                folderM.elidedText(FolderNames::shown(note.folder()), Qt::ElideRight,
                                   folderRight - folderLeft));
    p->restore();
}

bool NoteRowDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() == QEvent::ToolTip && !index.data(NoteListModel::HeaderRole).toBool()) {
        const auto* model = static_cast<const NoteListModel*>(index.model());
        const NoteModel* note = model->noteAt(index.row());
        const bool thumb =
            note && !note->images().isEmpty() && !thumbnail(note->images().first(), 1).isNull();
        if (note && note->onScreen() &&
            onScreenMarkRect(option, thumb).adjusted(-3, -3, 3, 3).contains(event->pos())) {
            QToolTip::showText(event->globalPos(),
                               QCoreApplication::translate("Dashboard", "On screen"), view);
            return true;
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}
