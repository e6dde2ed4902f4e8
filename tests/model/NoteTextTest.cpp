#include "Suites.h"
#include "model/NoteModel.h"

class NoteTextTest : public QObject {
    Q_OBJECT
    static NoteData withText(const QString& text)
    {
        NoteData r;
        r.text = text;
        return r;
    }

private Q_SLOTS:
    void titleAndPreviewSkipBlankLinesAndTrimSpaces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("preview");
        const QString none = "No additional text";
        QTest::newRow("empty") << ""
                               << "New Note" << none;
        QTest::newRow("only blanks") << "\n  \n\t\n"
                                     << "New Note" << none;
        QTest::newRow("blank lines first") << "\n \n\t\n  Hello \t\n\n World  \nx"
                                           << "Hello"
                                           << "World";
        QTest::newRow("other spaces") << u"\u00a0\u3000Title\u2003\n\u3000Next\u3000"_qs << "Title"
                                      << "Next";
        QTest::newRow("separators are blank") << u"\u2028\n\u2029 \nReal"_qs << "Real" << none;
        QTest::newRow("inner spaces kept") << "  a  b  \n c \t d "
                                           << "a  b"
                                           << "c \t d";
        QTest::newRow("astral") << u" 😀 smile 😀 \n𝒳 math"_qs << u"😀 smile 😀"_qs << u"𝒳 math"_qs;
        // A CR LF pair is a single character, so it never ends a line.
        QTest::newRow("cr lf") << "Title\r\nBody"
                               << "Title\r\nBody" << none;
        QTest::newRow("cr lf then lf") << "A\r\n\nB\n\rC"
                                       << "A\r\n"
                                       << "B";
    }

    void titleAndPreviewSkipBlankLinesAndTrimSpaces()
    {
        QFETCH(QString, text);
        const NoteModel note(withText(text), nullptr);
        QTEST(note.title(), "title");
        QTEST(note.preview(), "preview");
    }

    void tagsAreHashWordsLowerCasedInOrder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("tags");
        QTest::newRow("none") << "##x #a#b # x#y #! plain" << QStringList();
        QTest::newRow("outer punctuation")
            << "(#Work), #plan! «#Quote» #tag… ¿#why?"
            << QStringList{"#work", "#plan", "#quote", "#tag", "#why"};
        QTest::newRow("inner punctuation and symbols")
            << "#ok-go #it's #a_b #$ #+1" << QStringList{"#ok-go", "#it's", "#a_b", "#$", "#+1"};
        QTest::newRow("duplicates") << "#Work and #work" << QStringList{"#work", "#work"};
        QTest::newRow("any white space") << u"#a\u00a0#b\u3000#c\r\n#d\t#e\u2028#f"_qs
                                         << QStringList{"#a", "#b", "#c", "#d", "#e", "#f"};
        QTest::newRow("letters") << u"#ÜBER #日本 #Ωmega"_qs
                                 << QStringList{"#über", "#日本", "#ωmega"};
        // Length counts characters as a reader sees them, not code units.
        QTest::newRow("emoji") << u"#😀 #👍🏽 #\u0301"_qs << QStringList{"#😀", "#👍🏽"};
    }

    void tagsAreHashWordsLowerCasedInOrder()
    {
        QFETCH(QString, text);
        QTEST(NoteModel(withText(text)).tags(), "tags");
    }
};

static RegisterSuite<NoteTextTest> registered;
#include "NoteTextTest.moc"
