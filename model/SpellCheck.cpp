#include "model/SpellCheck.h"

#include "model/Checklist.h"
#include "platform/Spelling.h"

#include <QCoreApplication>
#include <QMenu>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

namespace spellcheck {

namespace {

// As many suggestions as a menu shows at once.
constexpr qsizetype shownSuggestions = 5;

bool isApostrophe(QChar c)
{
    return c == u'\'' || c == u'\u2019';
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == u'_';
}

// Links, addresses, paths and #tags are never words of a language.
bool isName(QStringView chunk)
{
    return chunk.contains(u'#') || chunk.contains(u'@') || chunk.contains(u"://") ||
           chunk.startsWith(u"www.") || chunk.startsWith(u'/') || chunk.startsWith(u"~/");
}

// The words of one run of text between spaces and code spans.
void wordsOf(QStringView line, qsizetype from, qsizetype to, QList<Word>& words)
{
    if (isName(line.mid(from, to - from))) {
        return;
    }
    qsizetype i = from;
    while (i < to) {
        if (!isWordChar(line[i])) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        bool plain = true;
        // An apostrophe between letters belongs to the word ("don't").
        while (i < to && (isWordChar(line[i]) ||
                          (isApostrophe(line[i]) && i + 1 < to && line[i + 1].isLetter()))) {
            plain = plain && !line[i].isDigit() && line[i] != u'_';
            ++i;
        }
        if (plain) {
            words << Word{start, i - start};
        }
    }
}

} // namespace

QList<Word> checkedWords(QStringView line)
{
    QList<Word> words;
    qsizetype i = checklist::markerOf(line).length;
    while (i < line.size()) {
        if (line[i].isSpace()) {
            ++i;
            continue;
        }
        if (line[i] == u'`') {
            const qsizetype close = line.indexOf(u'`', i + 1);
            i = close < 0 ? i + 1 : close + 1;
            continue;
        }
        const qsizetype start = i;
        while (i < line.size() && !line[i].isSpace() && line[i] != u'`') {
            ++i;
        }
        wordsOf(line, start, i, words);
    }
    return words;
}

Word wordAt(QStringView line, qsizetype at)
{
    for (const Word& w : checkedWords(line)) {
        if (at >= w.start && at <= w.start + w.length) {
            return w;
        }
    }
    return {};
}

QList<Word> misspelt(QStringView line, qsizetype caret)
{
    platform::Spelling& spelling = platform::Spelling::shared();
    QList<Word> wrong;
    if (spelling.speller() == nullptr) {
        return wrong;
    }
    for (const Word& w : checkedWords(line)) {
        const bool typing = caret >= w.start && caret <= w.start + w.length;
        // Dictionaries spell "don't" with a typewriter's apostrophe, whatever was typed.
        const QString word = line.mid(w.start, w.length).toString().replace(u'\u2019', u'\'');
        if (!typing && !spelling.isCorrect(word)) {
            wrong << w;
        }
    }
    return wrong;
}

void offerCorrections(QMenu& menu, const QTextCursor& at)
{
    const QTextBlock block = at.block();
    const qsizetype inBlock = at.position() - block.position();
    const QString text = block.text();
    const QList<Word> wrong = misspelt(text);
    const auto hit = std::find(wrong.begin(), wrong.end(), wordAt(text, inBlock));
    platform::Speller* speller = platform::Spelling::shared().speller();
    if (hit == wrong.end() || speller == nullptr) {
        return;
    }
    const QString word = text.mid(hit->start, hit->length);
    QTextCursor range(block);
    range.setPosition(block.position() + int(hit->start));
    range.setPosition(block.position() + int(hit->start + hit->length), QTextCursor::KeepAnchor);
    QAction* first = menu.actions().value(0);
    QList<QAction*> added;
    for (const QString& s : speller->suggestions(word).mid(0, shownSuggestions)) {
        added << new QAction(s, &menu);
        QObject::connect(added.last(), &QAction::triggered, &menu,
                         [range, s]() mutable { range.insertText(s); });
    }
    const auto act = [&](const char* title, void (platform::Spelling::*apply)(const QString&)) {
        added << new QAction(QCoreApplication::translate("Note", title), &menu);
        QObject::connect(added.last(), &QAction::triggered, &menu,
                         [apply, word] { (platform::Spelling::shared().*apply)(word); });
    };
    act(QT_TRANSLATE_NOOP("Note", "Add to Dictionary"), &platform::Spelling::add);
    act(QT_TRANSLATE_NOOP("Note", "Ignore"), &platform::Spelling::ignore);
    menu.insertActions(first, added);
    menu.insertSeparator(first);
}

} // namespace spellcheck
