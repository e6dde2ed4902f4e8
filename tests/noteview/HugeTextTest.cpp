#include "NoteViewFixture.h"
#include "model/LongText.h"
#include "model/NotesWriter.h"
#include "noteview/NoteTextArea.h"

#include <QClipboard>
#include <QJsonObject>

// Pastes into a note on the screen, up to a log file's worth. How long the big one takes is
// measured in bench/.
class HugeTextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aTenMegabytePasteIsKeptWholeShownInPartAndSaved()
    {
        NoteViewFixture f;
        noteview::TextArea* editor = f.show("head tail").editor();
        const auto pasteOver = [editor](int from, int to, const QString& text) {
            QTextCursor caret = editor->textCursor();
            caret.setPosition(from);
            caret.setPosition(to, QTextCursor::KeepAnchor);
            editor->setTextCursor(caret);
            QApplication::clipboard()->setText(text);
            editor->paste();
        };
        // Up to the limit a paste is inserted as usual.
        const QString within(longtext::editLimit - 9, u'x');
        pasteOver(4, 4, within);
        QCOMPARE(f.note->text(), "head" + within + " tail");
        QVERIFY(!editor->isReadOnly());
        QCOMPARE(editor->textCursor().position(), 4 + within.size());

        // A log file's worth: 148,000 lines, about 10 MB, in place of "tail".
        f.note->setText("head tail");
        QString huge;
        huge.reserve(148000 * 64);
        for (int line = 0; line < 148000; ++line) {
            huge += QString("%1 GET /static/app.js 200 the quick brown fox\n").arg(line, 6);
        }
        pasteOver(5, 9, huge);
        QCOMPARE(f.note->text().size(), 5 + huge.size());
        QVERIFY(f.note->text() == "head " + huge);

        // What is shown says what is left out, and the shown part cannot be edited into the
        // note by mistake.
        QVERIFY(editor->isReadOnly());
        const QString shown = editor->toPlainText();
        QVERIFY(shown.size() < longtext::editLimit + 200);
        QVERIFY(shown.startsWith("Too long to edit here"));
        QVERIFY(shown.contains("\nhead      0 GET"));
        QTest::keyClicks(editor, "x");
        QCOMPARE(f.note->text().size(), 5 + huge.size());

        // Cut back to a size that can be edited, the note is editable again.
        f.note->setText("short again");
        QVERIFY(!editor->isReadOnly());
        QCOMPARE(editor->noteText(), "short again");
        QVERIFY(f.log.lines.isEmpty());
    }
};

static RegisterSuite<HugeTextTest> registered;
#include "HugeTextTest.moc"
