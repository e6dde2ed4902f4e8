#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace platform {

// A spelling dictionary: whether a word is spelt right, and what else it might have been.
// Used on one thread at a time.
class Speller {
public:
    virtual ~Speller() = default;
    virtual bool isCorrect(const QString& word) = 0;
    virtual QStringList suggestions(const QString& word) = 0;
    // The word is right from now on, and in later runs too.
    virtual void add(const QString& word) = 0;
    // The word is right until the program ends.
    virtual void ignore(const QString& word) = 0;
};

// Hunspell's dictionaries, each named by its path without ".aff" or ".dic" (a word is right
// when one of them has it), and the user's own words in `personalList`, one a line, read now
// and added to by add().
std::unique_ptr<Speller> hunspellSpeller(const QStringList& dictionaries,
                                         const QString& personalList);

// The installed dictionaries to check with: those for the user's languages (BCP 47 names,
// most wanted first), else one of the others, English (US) when it is there.
struct Dictionaries {
    QStringList paths;
    bool forUserLanguage = false;
};
Dictionaries chooseDictionaries(const QStringList& installed, const QStringList& languages);
// The dictionaries in the system's and the user's "hunspell" data folders.
QStringList installedDictionaries();

} // namespace platform
