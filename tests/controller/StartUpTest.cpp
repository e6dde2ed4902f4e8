#include "controller/Gestures.h"
#include "pad/PadView.h"
#include "support/Fixture.h"
#include "support/Suites.h"
#include "windows/Panel.h"

// Launching: old deletions purged, the pad hung under the notch, notes put back where they
// were (e2e test_startup checks those places on a real X server; here the edges). Screen
// 1440 x 900, bar 24; a note window is paper + 80 on each axis.
class StartUpTest : public StartedSuite {
    Q_OBJECT

private Q_SLOTS:
    void init() { h = std::make_unique<Fixture>(); }

    void notesDeletedOverThirtyDaysAgoGoWithTheirImages()
    {
        const QString oldImage = h->storeImage(QSize(10, 10));
        const QString recentImage = h->storeImage(QSize(10, 10));
        const QString keptImage = h->storeImage(QSize(10, 10));
        const auto withImage = [this](const char* text, const QString& image, int deletedDaysAgo) {
            QJsonObject r = Fixture::record(text);
            r["images"] = QJsonArray{image};
            if (deletedDaysAgo > 0)
                r["deletedAt"] = Fixture::referenceSeconds(h->today.addDays(-deletedDaysAgo));
            return r;
        };
        h->writeNotes({Fixture::record("first"), withImage("31 days", oldImage, 31),
                       withImage("29 days", recentImage, 29), withImage("live", keptImage, 0)});
        const QByteArray before = h->savedBytes();

        h->startUp();
        Panel* pad = h->app->padWindow(); // the pad hangs there from the start
        QVERIFY(pad->isVisible() && pad->level() == Panel::Level::Pad);
        QVERIFY(qobject_cast<PadView*>(pad->content()) != nullptr);
        QVERIFY(pad->testAttribute(Qt::WA_TranslucentBackground));

        QCOMPARE(Fixture::texts(h->app->notes()), (QStringList{"first", "29 days", "live"}));
        QVERIFY(!h->imageExists(oldImage) && h->imageExists(recentImage));
        QVERIFY(h->imageExists(keptImage));
        // The purged note leaves the file with the next save, not before.
        QCOMPARE(h->savedBytes(), before);
        h->app->save();
        QCOMPARE(h->savedNotes().size(), 3);
    }

    // A window manager that clamps a window or makes room for its frame has the last word:
    // once its placement holds, the file records it, except in the middle of a drag.
    void aPlaceTheWindowSystemChoseIsStored()
    {
        h->writeNotes({Fixture::record(QStringLiteral("moved"), true, 100, 200)});
        h->startUp();
        NoteModel* note = h->app->notes()[0];
        Panel* panel = h->app->window(note);
        QVERIFY(QTest::qWaitForWindowExposed(panel));

        // As a window manager would: straight to the native window, past the program.
        panel->windowHandle()->setGeometry(QRect(102, 900 - 500 - 20, 300, 300));
        QTRY_COMPARE(note->origin, QPointF(102, 220));
        QCOMPARE(h->savedNotes()[0].toObject()["x"].toDouble(), 102.0);
        QCOMPARE(h->savedNotes()[0].toObject()["y"].toDouble(), 220.0);

        h->app->gestures().noteDragChanged(note); // a drag is under way
        int settled = 0;
        panel->onMovedBySystem = [&settled, stored = panel->onMovedBySystem] {
            ++settled;
            stored();
        };
        panel->windowHandle()->setGeometry(QRect(150, 900 - 500 - 20, 300, 300));
        QTRY_COMPARE(settled, 1);
        QCOMPARE(panel->frame().x(), 150.0);
        QCOMPARE(note->origin, QPointF(102, 220));
    }

    // A display gone, the paper 1 over the left edge or the top, below the screen.
    void notesOffTheScreenComeBackUnderTheNotch()
    {
        // A second monitor to the right holds one note; one beyond it is off every screen.
        h->desktop.moreScreens = {QRectF(1440, 0, 1440, 900)};
        h->writeNotes({Fixture::record("gone", true, 3000, 300),
                       Fixture::record("left", true, -41, 300),
                       Fixture::record("top", true, 300, 900 - 300 + 41),
                       Fixture::record("below", true, 300, -500),
                       Fixture::record("second monitor", true, 1947, 300)});
        h->startUp();
        NoteModel* kept = h->app->notes().last();
        QCOMPARE(kept->origin, QPointF(1947, 300));
        // Centred on the notch, the window's top 80 below the notch's lower edge.
        const QRectF expected(720 - 150, 900 - 24 - 80 - 300, 300, 300);
        for (NoteModel* note : h->app->notes().mid(0, 4)) {
            QVERIFY2(note->origin == expected.topLeft(), qPrintable(note->text()));
            QVERIFY2(h->app->window(note)->frame() == expected, qPrintable(note->text()));
        }
    }

    void thePadShowsTuckedNotesPinnedFirstThenNewest()
    {
        h->launch();
        const auto tucked = [&](const QString& text, int minutesAgo, bool pinned) {
            NoteModel* n = h->addNote(text);
            n->setModified(h->today.addSecs(-60 * minutesAgo));
            n->setPinned(pinned);
            return n;
        };
        tucked("old", 50, false);
        tucked("pinned old", 40, true);
        tucked("newest", 1, false);
        tucked("pinned new", 40, true); // as old as the other: the list's order decides
        tucked("middle", 20, false);
        h->addNote("on screen", true)->setModified(h->today);
        NoteModel* trashed = tucked("trashed", 0, true);
        trashed->setDeletedAt(h->today);

        QCOMPARE(h->app->padCount(), 5);
        QCOMPARE(Fixture::texts(h->app->padNotes()),
                 (QStringList{"old", "pinned old", "newest", "pinned new", "middle"}));
        QCOMPARE(Fixture::texts(h->app->peekNotes()),
                 (QStringList{"pinned old", "pinned new", "newest"}));
    }
};

static RegisterSuite<StartUpTest> registered;
#include "StartUpTest.moc"
