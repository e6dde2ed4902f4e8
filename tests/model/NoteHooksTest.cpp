#include "Suites.h"
#include "app/WidgetViews.h"
#include "controller/AppController.h"
#include "model/NotesWriter.h"
#include "model/Store.h"
#include "support/Fixture.h"

#include <QSignalSpy>

// Assigning through the live note rewrites the notes file, or deliberately does not.
class NoteHooksTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void persistedFieldsSaveAndOnlyTextTouchesModified()
    {
        Fixture f(utc(2026, 1, 1, 9));
        const QString path = f.notesPath();
        QDateTime& clock = f.today;
        auto app = makeAppController();
        // What the writer's thread has written by now, the last change included.
        const auto saved = [&path, &app] {
            app->writer().drain();
            return Store::decode(readFile(path)).value_or(QList<NoteData>()).value(0);
        };

        auto* note = new NoteModel(NoteData());
        app->setNotes({note});
        QSignalSpy told(note, &NoteModel::willChange);
        clock = clock.addSecs(60);
        note->setText("Hello");
        QCOMPARE(saved().text, "Hello");
        QCOMPARE(saved().modified, clock);

        const QDateTime typed = clock;
        clock = clock.addSecs(60);
        QVERIFY(QFile::remove(path));
        note->setColor("yellow"); // the same colour again still tells and saves
        QVERIFY(told.size() >= 3);
        QCOMPARE(saved().color, "yellow");
        QCOMPARE(saved().modified, typed);

        QVERIFY(QFile::remove(path));
        note->setFolded(true);
        note->setPaperW(180);
        app->writer().drain();
        QVERIFY(!QFile::exists(path));
        note->setPinned(true);
        QCOMPARE(saved().pw, 180.0);

        // Without its controller a note still takes assignments but saves nothing.
        note->setParent(nullptr);
        app.reset();
        QVERIFY(QFile::remove(path));
        note->setText("still typed");
        QCOMPARE(note->modified(), clock);
        QVERIFY(!QFile::exists(path));
        delete note;
    }
};

static RegisterSuite<NoteHooksTest> registered;
#include "NoteHooksTest.moc"
