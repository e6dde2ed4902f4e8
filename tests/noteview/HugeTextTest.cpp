#include "NoteViewFixture.h"
#include "model/LongText.h"
#include "model/NotesWriter.h"
#include "noteview/NoteTextArea.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QJsonObject>

namespace {

// A log file's worth: 148,000 lines, about 10 MB.
QString logFile()
{
    QString text;
    text.reserve(148000 * 64);
    for (int line = 0; line < 148000; ++line) {
        text += QStringLiteral("%1 GET /static/app.js 200 the quick brown fox\n").arg(line, 6);
    }
    return text;
}

} // namespace

class HugeTextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The time limit is generous (the real figures are in bench/); a program that lays out
    // the whole paste takes minutes.
    void aTenMegabytePasteIsKeptWholeShownInPartAndSaved()
    {
        NoteViewFixture f;
        f.addNote(QStringLiteral("head tail"));
        NoteView& view = f.showView();
        noteview::TextArea* editor = view.editor();
        QTextCursor caret = editor->textCursor();
        caret.setPosition(5);
        caret.setPosition(9, QTextCursor::KeepAnchor); // "tail" is replaced
        editor->setTextCursor(caret);
        const QString huge = logFile();
        QApplication::clipboard()->setText(huge);

        QElapsedTimer clock;
        clock.start();
        editor->paste();
        QCOMPARE(f.note->text().size(), 5 + huge.size());
        QVERIFY(f.note->text() == QStringLiteral("head ") + huge);
        QCOMPARE(f.savedNotes().first().toObject().value("text").toString().size(),
                 5 + huge.size());
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));

        // What is shown says what is left out, and the shown part cannot be edited into the
        // note by mistake.
        QVERIFY(editor->isReadOnly());
        const QString shown = editor->toPlainText();
        QVERIFY(shown.size() < longtext::editLimit + 200);
        QVERIFY(shown.startsWith(QStringLiteral("Too long to edit here")));
        QVERIFY(shown.contains(QStringLiteral("\nhead      0 GET")));
        QTest::keyClicks(editor, QStringLiteral("x"));
        QCOMPARE(f.note->text().size(), 5 + huge.size());

        // Cut back to a size that can be edited, the note is editable again.
        f.note->setText(QStringLiteral("short again"));
        QVERIFY(!editor->isReadOnly());
        QCOMPARE(editor->noteText(), QStringLiteral("short again"));
        QVERIFY(f.log.lines.isEmpty());
    }

    void aPasteWithinTheLimitIsInsertedAsUsual()
    {
        NoteViewFixture f;
        f.addNote(QStringLiteral("ab"));
        NoteView& view = f.showView();
        QTextCursor caret = view.editor()->textCursor();
        caret.setPosition(1);
        view.editor()->setTextCursor(caret);
        const QString pasted(longtext::editLimit - 2, u'x');
        QApplication::clipboard()->setText(pasted);
        view.editor()->paste();
        QCOMPARE(f.note->text(), QStringLiteral("a") + pasted + QStringLiteral("b"));
        QVERIFY(!view.editor()->isReadOnly());
        QCOMPARE(view.editor()->textCursor().position(), 1 + pasted.size());
    }
};

static RegisterSuite<HugeTextTest> registered;
#include "HugeTextTest.moc"
