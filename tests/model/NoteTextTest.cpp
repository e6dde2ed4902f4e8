#include "Suites.h"
#include "model/NoteModel.h"

namespace {

NoteModel note(const QString& text)
{
    NoteData r;
    r.text = text;
    return NoteModel(r, nullptr);
}

} // namespace

class NoteTextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void titleAndPreviewSkipBlankLinesAndTrimSpaces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("preview");
        QTest::newRow("empty") << ""
                               << "New Note"
                               << "No additional text";
        QTest::newRow("only blanks") << "\n  \n\t\n"
                                     << "New Note"
                                     << "No additional text";
        QTest::newRow("one line") << "Groceries"
                                  << "Groceries"
                                  << "No additional text";
        QTest::newRow("blank lines first") << "\n   \n\t\n  Hello \t\n\n World  \nmore"
                                           << "Hello"
                                           << "World";
        QTest::newRow("no-break and ideographic spaces")
            << QStringLiteral("\u00a0\u3000Title\u2003\u00a0\n\u3000Next\u3000")
            << QStringLiteral("Title") << QStringLiteral("Next");
        QTest::newRow("line separator is blank")
            << QStringLiteral("\u2028\n\u2029 \nReal") << "Real"
            << "No additional text";
        QTest::newRow("inner spaces kept") << "  a  b  \n c \t d "
                                           << "a  b"
                                           << "c \t d";
        QTest::newRow("outside the basic plane")
            << QStringLiteral(" 😀 smile 😀 \n𝒳 math") << QStringLiteral("😀 smile 😀")
            << QStringLiteral("𝒳 math");
        // A CR LF pair is a single character, so it never ends a line.
        QTest::newRow("cr lf") << "Title\r\nBody"
                               << "Title\r\nBody"
                               << "No additional text";
        QTest::newRow("cr lf then lf") << "A\r\n\nB"
                                       << "A\r\n"
                                       << "B";
        QTest::newRow("lone cr is kept") << "A\r\nB\n\rC"
                                         << "A\r\nB"
                                         << "\rC";
    }

    void titleAndPreviewSkipBlankLinesAndTrimSpaces()
    {
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(QString, preview);
        const NoteModel n = note(text);
        QCOMPARE(n.title(), title);
        QCOMPARE(n.preview(), preview);
    }

    void tagsAreHashWordsLowerCasedInOrder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("tags");
        QTest::newRow("none") << "" << QStringList();
        QTest::newRow("punctuation around")
            << "(#Work), #plan! «#Quote» #tag… ¿#why?"
            << QStringList{"#work", "#plan", "#quote", "#tag", "#why"};
        QTest::newRow("inner punctuation kept")
            << "#ok-go #it's #a_b" << QStringList{"#ok-go", "#it's", "#a_b"};
        QTest::newRow("no tags") << "##x #a#b # x#y #! plain" << QStringList();
        QTest::newRow("duplicates kept") << "#Work and #work" << QStringList{"#work", "#work"};
        QTest::newRow("any white space separates")
            << QStringLiteral("#one\u00a0#two\u3000#three\r\n#four\t#five\u2028#six")
            << QStringList{"#one", "#two", "#three", "#four", "#five", "#six"};
        QTest::newRow("unicode letters")
            << QStringLiteral("#ÜBER #日本 #Ωmega") << QStringList{"#über", "#日本", "#ωmega"};
        // Length counts what a reader sees as characters, not code units.
        QTest::newRow("emoji") << QStringLiteral("#😀 #👍🏽")
                               << QStringList{"#😀", "#👍🏽"};
        QTest::newRow("lone mark") << QStringLiteral("#\u0301") << QStringList();
        QTest::newRow("symbols are not punctuation") << "#$ #+1" << QStringList{"#$", "#+1"};
    }

    void tagsAreHashWordsLowerCasedInOrder()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, tags);
        QCOMPARE(note(text).tags(), tags);
    }
};

static RegisterSuite<NoteTextTest> registered;
#include "NoteTextTest.moc"
