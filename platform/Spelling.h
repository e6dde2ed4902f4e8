#pragma once

#include "platform/Speller.h"

#include <QHash>
#include <QObject>
#include <optional>

class QAction;

namespace platform {

// Spelling for every note: whether it is checked (remembered on this computer) and the
// dictionary it is checked against, loaded on a worker the first time it is asked for. Text
// views re-check their text on changed().
class Spelling : public QObject {
    Q_OBJECT
public:
    static Spelling& shared();

    // "Check Spelling": as the user left it, else on where a dictionary for the user's
    // language is installed.
    bool enabled();
    void setEnabled(bool on);
    // Whether any dictionary is installed to check with.
    bool available();
    // A checkable "Check Spelling" that turns it on and off and follows it.
    QAction* toggleAction(QObject* parent);

    // The dictionary while checking is on; null until it is loaded, which this starts.
    Speller* speller();
    // Whether the dictionary knows `word`, remembered for the next paragraph that has it; true
    // while there is none.
    bool isCorrect(const QString& word);
    // Checks with `speller` from now on (a test's own dictionary); null goes back to the
    // installed ones.
    void use(std::unique_ptr<Speller> speller);

    // The word is right from now on, in later runs too (add) or until the program ends.
    void add(const QString& word);
    void ignore(const QString& word);

    // The user's own words, in the program's configuration folder.
    static QString personalListPath();

Q_SIGNALS:
    // Checking was turned on or off, the dictionary is ready, or a word was added: every text
    // is checked again.
    void changed();

private:
    Spelling() = default;
    const Dictionaries& dictionaries();
    void load();

    void setSpeller(std::unique_ptr<Speller> speller);

    std::unique_ptr<Speller> speller_;
    QHash<QString, bool> known_;
    std::optional<Dictionaries> dictionaries_;
    std::optional<bool> enabled_;
    bool given_ = false;
    bool loading_ = false;
    // Moves on with use(), so that a load started before it is dropped when it lands.
    int generation_ = 0;
};

} // namespace platform
