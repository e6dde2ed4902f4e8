#include "support/Fixture.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QSettings>

// Notes made, thrown away, restored and deleted for good; folders added.
class LifecycleTest : public StartedSuite {
    Q_OBJECT

    // The one note in the file.
    QJsonObject saved() const { return h->savedNotes()[0].toObject(); }

private Q_SLOTS:
    // A new note is saved at once at the end, in the first folder; folders are trimmed and
    // unique, and outlive the controller.
    void newNotesAndFolders()
    {
        h->addNote(QStringLiteral("first"));
        app().setFolders({});
        NoteModel* note = app().newNote(std::nullopt, QStringLiteral("blue"));
        QCOMPARE(app().notes().last(), note);
        QVERIFY(app().window(note) == nullptr);
        const QJsonArray saved = h->savedNotes();
        QCOMPARE(saved.size(), 2);
        const QJsonObject last = saved.last().toObject();
        QCOMPARE((QStringList{last["text"].toString(), last["color"].toString(),
                              last["folder"].toString()}),
                 (QStringList{"", "blue", "Personal"}));
        QVERIFY(!last["onScreen"].toBool());
        QVERIFY(note->created() == h->today && note->modified() == h->today);

        app().setFolders({QStringLiteral("Work"), QStringLiteral("Ideas")});
        QCOMPARE(app().newNote(std::nullopt, "yellow")->folder(), QStringLiteral("Work"));

        app().setFolders({QStringLiteral("Personal"), QStringLiteral("Work")});
        for (const QString& name : {u"  Work\t"_qs, u" \u00A0\u2003 "_qs, QString(), u"work"_qs,
                                    u"\u2003Travel\u00A0"_qs, u"\nLines\n"_qs}) {
            app().addFolder(name);
        }
        const QStringList expected{"Personal", "Work", "work", "Travel", "\nLines\n"};
        QCOMPARE(app().folders(), expected);
        QCOMPARE(QSettings().value("folders").toStringList(), expected);
        h->app.reset();
        QCOMPARE(h->launch().folders(), expected);
    }

    void aNoteWithoutWindowIsTrashedAtOnceAndRestoredTucked()
    {
        NoteModel* note = h->addNote(QStringLiteral("bye"), true);
        note->setModified(h->today.addDays(-2));
        h->today = h->today.addSecs(5);
        app().trash(note);
        QCOMPARE(h->sounds, QList<Sound::Effect>{Sound::Effect::Crunch});
        QCOMPARE(note->deletedAt(), std::optional<QDateTime>(h->today));
        QVERIFY(!note->onScreen() && !note->crumpled());
        QCOMPARE(note->modified(), h->today.addSecs(-5).addDays(-2));
        QVERIFY(app().notes().contains(note));
        QCOMPARE(saved()["deletedAt"].toDouble(), Fixture::referenceSeconds(h->today));
        QCOMPARE(app().padCount(), 0);

        app().restore(note);
        QVERIFY(!note->deletedAt() && !note->onScreen());
        QCOMPARE(note->modified(), h->today.addSecs(-5).addDays(-2));
        QVERIFY(!saved().contains("deletedAt"));
        QCOMPARE(app().padNotes(), QList<NoteModel*>{note});
    }

    // A note with a window crumples first, even when its window was put away, and only then
    // is trashed and loses the window.
    void trashingAShownNoteCrumplesThenClosesItsWindow_data()
    {
        QTest::addColumn<bool>("visible");
        QTest::newRow("window shown") << true;
        QTest::newRow("window put away") << false;
    }
    void trashingAShownNoteCrumplesThenClosesItsWindow()
    {
        QFETCH(bool, visible);
        NoteModel* note = h->shownNote(QStringLiteral("crumple"));
        QPointer<Panel> panel = app().window(note);
        if (!visible) {
            panel->orderOut();
        }
        app().trash(note);
        QVERIFY(note->crumpled() && !note->deletedAt());
        h->advance(0.3);
        QVERIFY(!note->deletedAt() && app().window(note) != nullptr);

        h->advance(0.03);
        QVERIFY(note->deletedAt() && !note->onScreen() && !note->crumpled());
        QVERIFY(app().window(note) == nullptr && !panel->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(panel.isNull() && saved().contains("deletedAt"));
        QCOMPARE(saved()["onScreen"].toBool(), false);

        // Shown again later, it gets a fresh window.
        app().restore(note);
        app().show(note);
        QVERIFY(app().window(note) != nullptr);
    }

    void deletingForeverTakesTheImagesAlong()
    {
        const QString image = h->storeImage(QSize(20, 10));
        const QString other = h->storeImage(QSize(20, 10));
        NoteModel* keep = h->addNote(QStringLiteral("keep"));
        keep->setImages({other});
        QPointer<NoteModel> note = h->addNote(QStringLiteral("gone"));
        note->setImages({image});
        app().trash(note);
        app().deleteForever(note);

        QVERIFY(!h->imageExists(image) && h->imageExists(other));
        QCOMPARE(app().notes(), QList<NoteModel*>{keep});
        QCOMPARE(h->savedTexts(), QStringList{"keep"});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(note.isNull());

        // During the crumple too.
        keep->setOnScreen(true);
        app().show(keep);
        app().trash(keep);
        app().deleteForever(keep);
        QVERIFY(app().window(keep) == nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        h->advance(0.5);
        QVERIFY(app().notes().isEmpty());
        QCOMPARE(h->savedNotes().size(), 0);
    }
};

static RegisterSuite<LifecycleTest> registered;
#include "LifecycleTest.moc"
