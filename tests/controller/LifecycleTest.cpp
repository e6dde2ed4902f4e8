#include "motion/Motion.h"
#include "support/Fixture.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QJsonArray>
#include <QSettings>

// Notes made, thrown away, restored and deleted for good; folders added.
class LifecycleTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> h;

    AppController& app() { return *h->app; }
    QJsonObject savedNote(const NoteModel* note) const
    {
        const QString id = note->id().toString(QUuid::WithoutBraces);
        for (const QJsonValue& v : h->savedNotes()) {
            if (v[QStringLiteral("id")].toString().compare(id, Qt::CaseInsensitive) == 0) {
                return v.toObject();
            }
        }
        return {};
    }

private Q_SLOTS:
    void init()
    {
        h = std::make_unique<Fixture>();
        h->startUp();
    }
    void cleanup() { h.reset(); }

    void aNewNoteIsSavedAtOnceAtTheEnd()
    {
        h->addNote(QStringLiteral("first"));
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
    }

    void aNewNoteGoesToTheFirstFolder()
    {
        app().setFolders({QStringLiteral("Work"), QStringLiteral("Ideas")});
        QCOMPARE(app().newNote(std::nullopt, "yellow")->folder(), QStringLiteral("Work"));
        app().setFolders({});
        QCOMPARE(app().newNote(std::nullopt, "yellow")->folder(), QStringLiteral("Personal"));
        QCOMPARE(app().newNote(QStringLiteral("Ideas"), "pink")->folder(), QStringLiteral("Ideas"));
    }

    void trashingANoteWithoutWindowIsImmediate()
    {
        NoteModel* note = h->addNote(QStringLiteral("bye"));
        note->setModified(h->today.addDays(-2));
        h->today = h->today.addSecs(5);
        app().trash(note);
        QCOMPARE(h->sounds, QList<Sound::Effect>{Sound::Effect::Crunch});
        QCOMPARE(note->deletedAt(), std::optional<QDateTime>(h->today));
        QVERIFY(!note->onScreen() && !note->crumpled());
        QCOMPARE(note->modified(), h->today.addSecs(-5).addDays(-2));
        QVERIFY(app().notes().contains(note));
        QCOMPARE(savedNote(note)["deletedAt"].toDouble(), Fixture::referenceSeconds(h->today));
        QCOMPARE(app().padCount(), 0);
    }

    void trashingAShownNoteCrumplesThenClosesItsWindow()
    {
        NoteModel* note = h->addNote(QStringLiteral("crumple"), true);
        note->origin = QPointF(200, 200);
        app().show(note);
        QPointer<Panel> panel = app().window(note);
        QVERIFY(panel && panel->isVisible());

        motion::Animation crumple;
        connect(note, &NoteModel::changed, this, [&](NoteModel::Field f) {
            if (f == NoteModel::Field::Crumpled && note->crumpled()) {
                crumple = motion::currentAnimation();
            }
        });
        app().trash(note);
        QVERIFY(note->crumpled());
        QVERIFY(crumple.kind == motion::Animation::Kind::EaseOut);
        QCOMPARE(crumple.duration, 0.28);
        QVERIFY(!note->deletedAt());

        h->advance(0.3);
        QVERIFY(!note->deletedAt());
        QVERIFY(app().window(note) != nullptr);

        h->advance(0.03);
        QVERIFY(note->deletedAt() && !note->onScreen() && !note->crumpled());
        QVERIFY(app().window(note) == nullptr && !panel->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(panel.isNull());
        QVERIFY(savedNote(note).contains("deletedAt"));
        QCOMPARE(savedNote(note)["onScreen"].toBool(), false);

        // Shown again later, it gets a fresh window.
        app().restore(note);
        app().show(note);
        QVERIFY(app().window(note) != nullptr);
    }

    void aNoteTuckedAfterShowingStillCrumples()
    {
        NoteModel* note = h->addNote(QStringLiteral("hidden window"));
        app().show(note);
        app().window(note)->orderOut();
        app().trash(note);
        QVERIFY(note->crumpled());
        QVERIFY(!note->deletedAt());
        h->advance(0.32);
        QVERIFY(note->deletedAt());
    }

    void restoringLeavesTheNoteTucked()
    {
        NoteModel* note = h->addNote(QStringLiteral("back"), true);
        app().trash(note);
        const QDateTime modified = note->modified();
        app().restore(note);
        QVERIFY(!note->deletedAt() && !note->onScreen());
        QCOMPARE(note->modified(), modified);
        QVERIFY(!savedNote(note).contains("deletedAt"));
        QCOMPARE(app().padNotes(), QList<NoteModel*>{note});
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

        QVERIFY(!h->imageExists(image));
        QVERIFY(h->imageExists(other));
        QCOMPARE(app().notes(), QList<NoteModel*>{keep});
        QCOMPARE(h->savedNotes().size(), 1);
        QCOMPARE(h->savedNotes()[0].toObject()["text"].toString(), QStringLiteral("keep"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(note.isNull());
    }

    void deletingForeverDuringTheCrumpleIsSafe()
    {
        NoteModel* note = h->addNote(QStringLiteral("quick"), true);
        app().show(note);
        app().trash(note);
        app().deleteForever(note);
        QVERIFY(app().window(note) == nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        h->advance(0.5);
        QVERIFY(app().notes().isEmpty());
        QCOMPARE(h->savedNotes().size(), 0);
    }

    void foldersAreTrimmedAndUnique()
    {
        app().setFolders({QStringLiteral("Personal"), QStringLiteral("Work")});
        app().addFolder(QStringLiteral("  Work\t"));
        app().addFolder(QStringLiteral(" \u00A0\u2003 "));
        app().addFolder(QString());
        QCOMPARE(app().folders(), (QStringList{"Personal", "Work"}));

        app().addFolder(QStringLiteral("work"));
        app().addFolder(QStringLiteral("\u2003Travel\u00A0"));
        app().addFolder(QStringLiteral("\nLines\n"));
        const QStringList expected{"Personal", "Work", "work", "Travel", "\nLines\n"};
        QCOMPARE(app().folders(), expected);
        QCOMPARE(QSettings().value("folders").toStringList(), expected);

        // The list outlives the controller.
        h->app.reset();
        QCOMPARE(h->launch().folders(), expected);
    }
};

static RegisterSuite<LifecycleTest> registered;
#include "LifecycleTest.moc"
