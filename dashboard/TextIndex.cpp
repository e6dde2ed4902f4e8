#include "dashboard/TextIndex.h"

#include "model/NoteModel.h"

#include <QSet>
#include <array>

namespace dash {

namespace {

// Text made only of Latin-1 characters (plain ASCII and the Western European letters) is
// folded through a table: each of these characters folds on its own, and the toolkit's
// general folding, which looks every character up in the full Unicode tables, costs several
// times more. Any other text takes the general way; both give the same result.
QString caseFolded(const QString& text)
{
    static const std::array<char16_t, 256> latin1 = [] {
        std::array<char16_t, 256> table{};
        for (char32_t c = 0; c < table.size(); ++c) {
            table[c] = static_cast<char16_t>(QChar::toCaseFolded(c));
        }
        return table;
    }();
    QString folded(text.size(), Qt::Uninitialized);
    QChar* out = folded.data();
    const QChar* in = text.constData();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = in[i].unicode();
        if (c >= latin1.size()) {
            return text.toCaseFolded();
        }
        out[i] = QChar(latin1[c]);
    }
    return folded;
}

} // namespace

TextIndex::Entry& TextIndex::entry(const NoteModel* note)
{
    Entry& e = entries_[note];
    const QString& text = note->text();
    // A cached copy pins the old text's storage, so a new text never reuses its address.
    if (e.text.constData() != text.constData() || e.text.size() != text.size()) {
        e = Entry{text, {}, {}, false, false};
    }
    return e;
}

const QString& TextIndex::folded(const NoteModel* note)
{
    Entry& e = entry(note);
    if (!e.hasFolded) {
        e.folded = caseFolded(e.text);
        e.hasFolded = true;
    }
    return e.folded;
}

const QStringList& TextIndex::tags(const NoteModel* note)
{
    Entry& e = entry(note);
    if (!e.hasTags) {
        e.tags = note->tags();
        e.hasTags = true;
    }
    return e.tags;
}

void TextIndex::prune(const QList<NoteModel*>& notes)
{
    if (entries_.size() <= notes.size()) {
        return;
    }
    const QSet<const NoteModel*> alive(notes.cbegin(), notes.cend());
    entries_.removeIf([&alive](const auto& it) { return !alive.contains(it.key()); });
}

} // namespace dash
