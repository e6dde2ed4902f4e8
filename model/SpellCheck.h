#pragma once

#include <QList>
#include <QStringView>

class QMenu;
class QTextCursor;

// The spelling of a note's text, for any editor of it: which words a dictionary is asked
// about, which it refuses, and the corrections a context menu offers for one.
namespace spellcheck {

struct Word {
    qsizetype start = 0;
    qsizetype length = 0;
    bool operator==(const Word&) const = default;
};

// The words of a line worth checking: none of a list's marker, a #tag, a link or an address,
// `code`, or a word with digits or underscores in it.
QList<Word> checkedWords(QStringView line);
// The checked words the dictionary does not know, but the one the caret is in or at the end of
// (`caret`, -1 for none); none while checking is off or its dictionary is still loading.
QList<Word> misspelt(QStringView line, qsizetype caret = -1);
// The checked word `at` lies in or at the end of; empty when none.
Word wordAt(QStringView line, qsizetype at);

// When the word at `at` is misspelt: its suggestions (each replacing it as one edit), "Add to
// Dictionary" and "Ignore", put at the top of `menu`.
void offerCorrections(QMenu& menu, const QTextCursor& at);

} // namespace spellcheck
