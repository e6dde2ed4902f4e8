#include "model/NoteModel.h"

#include "model/Checklist.h"
#include "model/FolderNames.h"
#include "model/Formatting.h"
#include "model/Merge.h"
#include "platform/Clock.h"

#include <QCoreApplication>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <atomic>
#include <limits>

namespace {

bool isHorizontalSpace(char32_t c)
{
    return c == U'\t' || QChar::category(c) == QChar::Separator_Space;
}

// Trims code points matching `drop` from both ends. Works on the UTF-16 text itself: a trip
// through UCS-4 would drop a leading U+FEFF as a byte-order mark and alter lone surrogates.
template <typename Pred> QString trimmed(const QString& s, Pred drop)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end) {
        const bool pair =
            begin + 1 < end && s[begin].isHighSurrogate() && s[begin + 1].isLowSurrogate();
        const char32_t c =
            pair ? QChar::surrogateToUcs4(s[begin], s[begin + 1]) : s[begin].unicode();
        if (!drop(c)) {
            break;
        }
        begin += pair ? 2 : 1;
    }
    while (end > begin) {
        const bool pair =
            end - 1 > begin && s[end - 1].isLowSurrogate() && s[end - 2].isHighSurrogate();
        const char32_t c =
            pair ? QChar::surrogateToUcs4(s[end - 2], s[end - 1]) : s[end - 1].unicode();
        if (!drop(c)) {
            break;
        }
        end -= pair ? 2 : 1;
    }
    return s.mid(begin, end - begin);
}

bool isPunctuation(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Punctuation_Connector:
    case QChar::Punctuation_Dash:
    case QChar::Punctuation_Open:
    case QChar::Punctuation_Close:
    case QChar::Punctuation_InitialQuote:
    case QChar::Punctuation_FinalQuote:
    case QChar::Punctuation_Other:
        return c != U'#';
    default:
        return false;
    }
}

qsizetype graphemeCount(const QString& s)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, s);
    qsizetype count = 0;
    while (finder.toNextBoundary() > 0) {
        ++count;
    }
    return count;
}

bool hasVisibleCharacter(QStringView s)
{
    return std::any_of(s.begin(), s.end(), [](QChar c) { return !c.isSpace(); });
}

// The text's first `limit` non-blank lines, each cut to `longest` characters: title and preview
// need two short ones, and a note may hold a hundred thousand lines or one of megabytes. A CR LF
// pair is one character to the text and does not end a line.
QStringList firstLines(QStringView text, qsizetype limit,
                       qsizetype longest = std::numeric_limits<qsizetype>::max())
{
    QStringList result;
    qsizetype start = 0;
    while (start <= text.size() && result.size() < limit) {
        qsizetype end = text.indexOf(u'\n', start);
        while (end > 0 && text[end - 1] == u'\r') {
            end = text.indexOf(u'\n', end + 1);
        }
        end = end < 0 ? text.size() : end;
        const QStringView piece = text.mid(start, end - start);
        if (!piece.isEmpty() && hasVisibleCharacter(piece)) {
            result << piece.left(longest).toString();
        }
        start = end + 1;
    }
    return result;
}

// More than any title or preview shows: a single line of megabytes is never laid out whole.
constexpr qsizetype shownLineLength = 1000;
// Title and preview look no further into a note than this: the pad asks for them at every
// opening, and a log of megabytes pasted as one line would be read through each time.
constexpr qsizetype shownScope = 1'000'000;

// Unique across notes, so a new note at a freed note's address never passes for it.
quint64 nextRevision()
{
    static std::atomic<quint64> counter{0};
    return ++counter;
}

} // namespace

NoteModel::NoteModel(const NoteData& data, QObject* parent)
    : QObject(parent)
    , origin(data.x, data.y)
    , id_(data.id)
    , created_(data.created.value_or(platform::now()))
    , text_(data.text)
    , folded_(data.folded)
    , color_(data.color.value_or(QStringLiteral("yellow")))
    , folder_(FolderNames::stored(data.folder.value_or(QStringLiteral("Personal"))))
    , pinned_(data.pinned.value_or(false))
    , modified_(data.modified ? *data.modified : (data.created ? *data.created : platform::now()))
    , deletedAt_(data.deletedAt)
    , remindAt_(data.remindAt)
    , onScreen_(data.onScreen)
    , images_(data.images.value_or(QStringList()))
    , paperW_(data.pw.value_or(220))
    , paperH_(data.ph.value_or(220))
    , changedAt_(data.changed)
    , versions_(data.versions)
    , revision_(nextRevision())
{
}

template <typename T> void NoteModel::assign(T& slot, const T& value, Field field)
{
    Q_EMIT willChange();
    slot = value;
    revision_ = nextRevision();
    Q_EMIT changed(field);
}

// Assigning an equal value changes nothing another computer needs to hear about: stamping it
// would let it win over a real change made there.
template <typename T> void NoteModel::assignContent(T& slot, const T& value, Field field)
{
    const bool differs = slot != value;
    assign(slot, value, field);
    if (differs) {
        stampContent();
    }
}

void NoteModel::stampContent()
{
    changedAt_ = platform::now();
    ++versions_[Merge::thisComputer()];
}

void NoteModel::adoptContent(const NoteData& record)
{
    assign(text_, record.text, Field::Text);
    assign(images_, record.images.value_or(QStringList()), Field::Images);
    assign(color_, record.color.value_or(QStringLiteral("yellow")), Field::Color);
    assign(folder_, FolderNames::stored(record.folder.value_or(QStringLiteral("Personal"))),
           Field::Folder);
    assign(pinned_, record.pinned.value_or(false), Field::Pinned);
    assign(deletedAt_, record.deletedAt, Field::DeletedAt);
    assign(remindAt_, record.remindAt, Field::RemindAt);
    if (record.modified) {
        assign(modified_, *record.modified, Field::Modified);
    }
    // Not shown anywhere, but part of the content both computers must agree on.
    created_ = record.created.value_or(created_);
    changedAt_ = record.changed;
    versions_ = record.versions;
    save();
}

void NoteModel::imagesArrived()
{
    Q_EMIT willChange();
    Q_EMIT changed(Field::Images);
}

void NoteModel::touchAndSave()
{
    setModified(platform::now());
    save();
}

void NoteModel::save()
{
    Q_EMIT saveRequested();
}

void NoteModel::setText(const QString& text)
{
    assignContent(text_, text, Field::Text);
    touchAndSave();
}

void NoteModel::setImages(const QStringList& images)
{
    assignContent(images_, images, Field::Images);
    touchAndSave();
}

void NoteModel::setColor(const QString& color)
{
    assignContent(color_, color, Field::Color);
    save();
}

void NoteModel::setFolder(const QString& folder)
{
    assignContent(folder_, FolderNames::stored(folder), Field::Folder);
    save();
}

void NoteModel::setPinned(bool pinned)
{
    assignContent(pinned_, pinned, Field::Pinned);
    save();
}

void NoteModel::setDeletedAt(const std::optional<QDateTime>& deletedAt)
{
    assignContent(deletedAt_, deletedAt, Field::DeletedAt);
    save();
}

// Another computer hears of it, but it is not an edit: `modified` stays.
void NoteModel::setRemindAt(const std::optional<QDateTime>& remindAt)
{
    assignContent(remindAt_, remindAt, Field::RemindAt);
    save();
}

void NoteModel::setOnScreen(bool onScreen)
{
    assign(onScreen_, onScreen, Field::OnScreen);
    save();
}

void NoteModel::setFolded(bool folded)
{
    assign(folded_, folded, Field::Folded);
}
void NoteModel::setModified(const QDateTime& modified)
{
    assign(modified_, modified, Field::Modified);
}
void NoteModel::setPaperW(double w)
{
    assign(paperW_, w, Field::PaperW);
}
void NoteModel::setPaperH(double h)
{
    assign(paperH_, h, Field::PaperH);
}
void NoteModel::setSizeBadge(const std::optional<QString>& badge)
{
    assign(sizeBadge_, badge, Field::SizeBadge);
}
void NoteModel::setIncoming(const QList<QSize>& incoming)
{
    assign(incoming_, incoming, Field::Incoming);
}
void NoteModel::setPeel(double peel)
{
    assign(peel_, peel, Field::Peel);
}
void NoteModel::setTilt(double tilt)
{
    assign(tilt_, tilt, Field::Tilt);
}
void NoteModel::setScale(double scale)
{
    assign(scale_, scale, Field::Scale);
}
void NoteModel::setOpacity(double opacity)
{
    assign(opacity_, opacity, Field::Opacity);
}
void NoteModel::setCrumpled(bool crumpled)
{
    assign(crumpled_, crumpled, Field::Crumpled);
}
void NoteModel::setHovering(bool hovering)
{
    assign(hovering_, hovering, Field::Hovering);
}

NoteData NoteModel::data() const
{
    NoteData d;
    d.id = id_;
    d.text = text_;
    d.folded = folded_;
    d.onScreen = onScreen_;
    d.x = origin.x();
    d.y = origin.y();
    d.color = color_;
    d.folder = folder_;
    d.pinned = pinned_;
    d.created = created_;
    d.modified = modified_;
    d.deletedAt = deletedAt_;
    d.remindAt = remindAt_;
    if (!images_.isEmpty()) {
        d.images = images_;
    }
    d.pw = paperW_;
    d.ph = paperH_;
    d.changed = changedAt_;
    d.versions = versions_;
    return d;
}

QStringList NoteModel::lines() const
{
    return firstLines(text_, std::numeric_limits<qsizetype>::max());
}

QString NoteModel::title() const
{
    const QStringList all = firstLines(QStringView(text_).left(shownScope), 1, shownLineLength);
    if (all.isEmpty()) {
        return QCoreApplication::translate("Note", "New Note");
    }
    // A checklist's or a heading's title is its words; an item with none yet shows its box.
    const QString words =
        trimmed(checklist::plain(formatting::plain(all.first())), isHorizontalSpace);
    return words.isEmpty() ? trimmed(checklist::shown(all.first()), isHorizontalSpace) : words;
}

QString NoteModel::preview() const
{
    const QStringList all = firstLines(QStringView(text_).left(shownScope), 2, shownLineLength);
    if (all.size() < 2) {
        return QCoreApplication::translate("Note", "No additional text");
    }
    // The words without their formatting markers, unless the markers are all there is.
    const QString words =
        trimmed(checklist::shown(formatting::plain(all.at(1))), isHorizontalSpace);
    return words.isEmpty() ? trimmed(checklist::shown(all.at(1)), isHorizontalSpace) : words;
}

QStringList NoteModel::tags() const
{
    QStringList result;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text_.size(); ++i) {
        if (i < text_.size() && !text_[i].isSpace()) {
            continue;
        }
        if (i > start && QStringView(text_).mid(start, i - start).contains(u'#')) {
            const QString w = trimmed(text_.mid(start, i - start), isPunctuation);
            if (w.startsWith(u'#') && graphemeCount(w) >= 2 && !w.mid(1).contains(u'#')) {
                result << w.toLower();
            }
        }
        start = i + 1;
    }
    return result;
}

QList<NoteModel*> makeNotes(const QList<NoteData>& records, QObject* parent)
{
    QList<NoteModel*> notes;
    notes.reserve(records.size());
    for (const NoteData& record : records) {
        notes << new NoteModel(record, parent);
    }
    return notes;
}
