// Runs the text a note derives its title, preview and tags from, and the dashboard's search,
// over arbitrary input: read as UTF-8 (invalid sequences replaced) and as raw UTF-16 units,
// which can hold lone surrogates that no keyboard produces but a notes file can.

#include "dashboard/ListContents.h"
#include "model/NoteModel.h"

#include <QByteArray>
#include <cstdio>
#include <cstdlib>

namespace {

// Prints the offending string as UTF-16 units, since it is often invisible or invalid.
[[noreturn]] void fail(const char* what, const QString& text)
{
    std::fprintf(stderr, "fuzz_text: %s\nunits:", what);
    for (const QChar c : text) {
        std::fprintf(stderr, " %04x", c.unicode());
    }
    std::fprintf(stderr, "\n");
    std::abort();
}

bool isHorizontalSpace(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

// A line feed may appear inside a line only as the second half of a CR LF pair.
bool hasBareLineFeed(const QString& s)
{
    return QString(s).remove(QStringLiteral("\r\n")).contains(u'\n');
}

void checkLine(const QString& line, const QString& text)
{
    if (line.isEmpty() || hasBareLineFeed(line)) {
        fail("title or preview empty or spans lines", line + QStringLiteral("\u2063") + text);
    }
    if (isHorizontalSpace(line.front()) || isHorizontalSpace(line.back())) {
        fail("title or preview not trimmed", text);
    }
}

void checkTags(const NoteModel& note, dash::TextIndex& index, const QString& text)
{
    const QStringList tags = note.tags();
    for (const QString& tag : tags) {
        // One '#' and then no white space, in lower case, and the note listed under it.
        if (tag.size() < 2 || tag.front() != u'#' || tag.indexOf(u'#', 1) >= 0 ||
            std::any_of(tag.begin(), tag.end(), [](QChar c) { return c.isSpace(); }) ||
            tag.toLower() != tag || !dash::passes(note, NoteFilter::tag(tag), index)) {
            fail("malformed tag, or the note is not under it", text);
        }
    }
    if (index.tags(&note) != tags) {
        fail("indexed tags differ", text);
    }
}

bool hasLoneSurrogate(const QString& s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            ++i;
        } else if (s[i].isSurrogate()) {
            return true;
        }
    }
    return false;
}

// A search for any piece of the text finds the note, whatever its case. Not checked for text
// with lone surrogates: the toolkit's case folding turns them into U+FFFD only when something
// before them in the same string changes case, so a piece and its text can fold differently.
void checkSearch(const NoteModel& note, dash::TextIndex& index, const QString& text, quint8 a,
                 quint8 b)
{
    if (text.isEmpty() || hasLoneSurrogate(text)) {
        return;
    }
    const auto boundary = [&text](qsizetype i) {
        while (i > 0 && i < text.size() && text[i].isLowSurrogate() &&
               text[i - 1].isHighSurrogate()) {
            --i;
        }
        return i;
    };
    const qsizetype from = boundary(a % (text.size() + 1));
    const qsizetype to = boundary(std::min<qsizetype>(text.size(), from + b));
    const QString piece = text.mid(from, to - from);
    QList<NoteModel*> notes{const_cast<NoteModel*>(&note)};
    for (const QString& search : {piece, piece.toUpper(), piece.toLower()}) {
        const QList<NoteModel*> found = dash::visibleNotes(notes, NoteFilter::all(), search, index);
        // Upper-casing can change a piece beyond what folding undoes (ß to SS); only the piece
        // itself must always be found.
        if (search == piece && found.size() != 1) {
            fail("search for a piece of the text misses the note", text);
        }
    }
}

void run(const QString& text, quint8 a, quint8 b)
{
    NoteData data;
    data.id = QUuid(0x12345678, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10);
    data.text = text;
    data.created = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
    const NoteModel note(data, nullptr);
    checkLine(note.title(), text);
    checkLine(note.preview(), text);
    dash::TextIndex index;
    checkTags(note, index, text);
    checkSearch(note, index, text, a, b);
    if (!dash::trimmedSearch(text).isEmpty() &&
        (isHorizontalSpace(dash::trimmedSearch(text).front()))) {
        fail("search not trimmed", text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) {
        return 0;
    }
    const auto* bytes = reinterpret_cast<const char*>(data) + 2;
    const auto length = qsizetype(size - 2);
    run(QString::fromUtf8(bytes, length), data[0], data[1]);
    run(QString(reinterpret_cast<const QChar*>(bytes), length / 2), data[0], data[1]);
    return 0;
}
