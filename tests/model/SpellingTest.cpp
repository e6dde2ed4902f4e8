#include "platform/Spelling.h"

#include "model/SpellCheck.h"
#include "platform/Speller.h"
#include "support/Suites.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString tiny = QStringLiteral(QUILLHAVEN_SOURCE_DIR "/tests/data/tiny");

} // namespace

// Which words of a note are checked, against a dictionary of a dozen words, and the user's
// own words kept across runs.
class SpellingTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private Q_SLOTS:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        platform::Spelling::shared().setEnabled(true);
        platform::Spelling::shared().use(platform::hunspellSpeller({tiny}, dir.filePath("own")));
    }
    void cleanupTestCase() { platform::Spelling::shared().use(nullptr); }

    void onlyWordsOfTheLanguageAreChecked_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("wrong");
        QTest::newRow("right") << "Buy milk and EGGS today" << QStringList{};
        QTest::newRow("wrong") << "Buy mlik and egs" << QStringList{"mlik", "egs"};
        QTest::newRow("item") << "  - [ ] mlik" << QStringList{"mlik"};
        QTest::newRow("ticked item") << "- [x] bread" << QStringList{};
        QTest::newRow("bullet") << "* bred" << QStringList{"bred"};
        QTest::newRow("tags") << "#grocerys milk #todo, #a#b" << QStringList{};
        QTest::newRow("links and addresses")
            << "see https://exampel.org/pagez www.exampel.com bob@exampel.org ~/notez /usr/binz"
            << QStringList{};
        QTest::newRow("code") << "run `grpe -rn` today `mlik" << QStringList{"mlik"};
        QTest::newRow("digits, underscores") << "buy 3rd mp3 snake_case 12" << QStringList{};
        QTest::newRow("apostrophes") << "don't don’t dont 'milk'" << QStringList{"dont"};
        QTest::newRow("formatting markers")
            << "**mlik** and *bread* ~~egs~~ # notes" << QStringList{"mlik", "egs"};
        QTest::newRow("hyphen, accents") << "milk-bred café" << QStringList{"bred", "café"};
    }

    void onlyWordsOfTheLanguageAreChecked()
    {
        QFETCH(QString, line);
        QStringList wrong;
        for (const spellcheck::Word& w : spellcheck::misspelt(line)) {
            wrong << line.mid(w.start, w.length);
        }
        QTEST(wrong, "wrong");
    }

    // Suggestions; the user's words kept in their file, ignored ones for this run only; the
    // dictionaries chosen for the user's languages.
    void suggestionsAndOwnWords()
    {
        const QString own = dir.filePath("config/words.txt");
        auto speller = platform::hunspellSpeller({tiny}, own);
        QVERIFY(speller->suggestions("mlik").contains("milk"));
        speller->add("Quillhaven");
        speller->ignore("zzz");
        QVERIFY(speller->isCorrect("Quillhaven") && speller->isCorrect("zzz"));
        speller = platform::hunspellSpeller({tiny}, own);
        QVERIFY(speller->isCorrect("Quillhaven") && !speller->isCorrect("zzz"));

        const QStringList installed{"/d/de_AT", "/d/de_DE", "/d/en_GB", "/d/en_US"};
        auto chosen = platform::chooseDictionaries(installed, {"en-US", "en", "de"});
        QCOMPARE(chosen.paths, QStringList({"/d/en_US", "/d/de_AT"}));
        QVERIFY(chosen.forUserLanguage);
        chosen = platform::chooseDictionaries(installed, {"fr-FR", "fr"});
        QCOMPARE(chosen.paths, QStringList{"/d/en_US"});
        QVERIFY(!chosen.forUserLanguage);
    }
};

static RegisterSuite<SpellingTest> registered;
#include "SpellingTest.moc"
