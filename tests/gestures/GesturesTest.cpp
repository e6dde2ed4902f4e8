#include "controller/Gestures.h"

#include "motion/Motion.h"
#include "support/Fixture.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QApplication>

using Effect = Sound::Effect;

// The fake screen is 1440 x 900 with a 24-point notch: midX 720, the notch's lower edge at 876.
// A 220 x 220 note has a 300 x 300 window whose paper is inset 40.
namespace {

constexpr double notchBottom = 876;
constexpr double midX = 720;
constexpr double win = 300;
constexpr double inset = 40;

// Where a saved note's window stands.
QPointF savedAt(const QJsonValue& saved)
{
    return {saved["x"].toDouble(), saved["y"].toDouble()};
}

// Where a pulled note's window hangs: centred on the pointer, the paper's top 14 above it.
QPointF hung(double x, double y)
{
    return {x - win / 2, y + 14 + inset - win};
}

} // namespace

class GesturesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f_;

    AppController& app() const { return *f_->app; }
    Gestures& gestures() const { return f_->app->gestures(); }
    QPointF at(NoteModel* note) const { return app().window(note)->frame().topLeft(); }

    NoteModel* addNote(const QString& text, bool onScreen, QPointF at = {600, 300})
    {
        NoteModel* note = f_->addNote(text, onScreen);
        note->origin = at;
        if (onScreen)
            app().show(note);
        return note;
    }

    void pointAt(double x, double y) { f_->desktop.mouse = QPointF(x, y); }
    // The pointer moved to (x, y) during a pull from the pad, or during a drag of `note`.
    void pull(double x, double y)
    {
        pointAt(x, y);
        gestures().padDragChanged();
    }
    void drag(NoteModel* note, double x, double y)
    {
        pointAt(x, y);
        gestures().noteDragChanged(note);
    }

private Q_SLOTS:
    void init()
    {
        f_ = std::make_unique<Fixture>();
        f_->services().uniform = [](double lo, double hi) { return (lo + hi) / 2; };
        f_->launch();
    }

    void cleanup()
    {
        f_->app.reset();
        Fixture::advance(3); // lets steps and animations of the gone controller lapse
        f_.reset();
    }

    void pullPeelsOffAndLandsWhereLetGo()
    {
        NoteModel* note = addNote("hello", false);
        pull(midX, 895);
        QCOMPARE(gestures().pulling(), note);
        QVERIFY(note->onScreen());
        QCOMPARE(note->peel(), 65.0);
        Panel* window = app().window(note);
        QVERIFY(window != nullptr && window->isVisible());
        QCOMPARE(at(note), hung(midX, 895));
        QCOMPARE(f_->sounds, QList<Effect>{Effect::Peel});

        // A sideways swipe tilts the note, never beyond 5 degrees either way.
        const struct {
            double x, y, peel, tilt;
        } steps[] = {{midX, 795, 5, qQNaN()}, {midX, 785, 0, qQNaN()},  {midX, 900, 65, qQNaN()},
                     {midX + 400, 785, 0, 5}, {midX - 400, 785, 0, -5}, {midX, 700, 0, qQNaN()}};
        for (const auto& step : steps) {
            pull(step.x, step.y);
            QCOMPARE(note->peel(), step.peel);
            QVERIFY(std::isnan(step.tilt) || note->tilt() == step.tilt);
        }

        gestures().padDragEnded();
        QVERIFY(gestures().pulling() == nullptr);
        QCOMPARE(f_->sounds, (QList<Effect>{Effect::Peel, Effect::Pat}));
        QCOMPARE(f_->desktop.haptics, 1);
        QCOMPARE(note->scale(), 1.0);
        QCOMPARE(note->origin, hung(midX, 700));
        // A note with text does not take the keyboard; an empty one, made by a pull from the
        // empty pad, does.
        QVERIFY(QApplication::activeWindow() != window);
        pull(midX, 895);
        NoteModel* made = app().notes().last();
        QVERIFY(made != note && made->text().isEmpty());
        QCOMPARE(made->color(), "yellow");
        pull(midX, 600);
        gestures().padDragEnded();
        QTRY_COMPARE(QApplication::activeWindow(), app().window(made));
    }

    // XWayland under wlroots lets go of the press as the pulled note's window appears under
    // the pointer. That release, over the note, does not end the pull: the note follows raw
    // motion and lands at the raw release. A release anywhere else ends the pull as before.
    void pullOutlivesTheReleaseOfTheNoteAppearing()
    {
        f_->desktop.crossingReleases = true;
        f_->desktop.motionEvents = true;
        app().start();
        NoteModel* note = addNote("carried", false);
        pull(midX, 880);
        pointAt(midX, 860); // over the note's window, which hangs from the pointer
        // The letting go reaches the pad and raw input at the same time, in either order.
        gestures().padDragEnded(7);
        f_->desktop.released(7);
        QCOMPARE(gestures().pulling(), note);
        QCOMPARE(f_->sounds, QList<Effect>{Effect::Peel});

        f_->desktop.moveMouse(QPointF(400, 500));
        QCOMPARE(at(note), hung(400, 500));
        pointAt(380, 540); // the last motion went unreported: the note lands where let go
        f_->desktop.released(9);
        QVERIFY(gestures().pulling() == nullptr);
        QCOMPARE(f_->sounds, (QList<Effect>{Effect::Peel, Effect::Pat}));
        QCOMPARE(note->origin, hung(380, 540));
        f_->desktop.released(11); // a later click elsewhere is nothing to the pull
        QCOMPARE(f_->sounds.size(), 2);

        // Let go away from the note (a click beside the pad): over at once.
        NoteModel* other = addNote("clicked", false);
        pull(midX, 880);
        QCOMPARE(gestures().pulling(), other);
        pointAt(midX - 400, 880);
        gestures().padDragEnded();
        QVERIFY(gestures().pulling() == nullptr);
    }

    void shortPullIsAClickThatGlides_data()
    {
        QTest::addColumn<double>("distance");
        QTest::addColumn<bool>("glides");
        QTest::newRow("5 points") << 5.0 << true;
        QTest::newRow("6 points") << 6.0 << false;
    }

    void shortPullIsAClickThatGlides()
    {
        QFETCH(double, distance);
        QFETCH(bool, glides);
        NoteModel* note = addNote("x", false);
        pull(midX, 895);
        pull(midX + distance, 895);
        gestures().padDragEnded();
        QCOMPARE(f_->sounds.contains(Effect::Pat), !glides);
        QCOMPARE(motion::isAnimatingWindowFrame(app().window(note)), glides);
        Fixture::advance(1);
        QCOMPARE(f_->sounds.count(Effect::Pat), 1);
        QCOMPARE(note->origin, at(note));
    }

    void glideRestsWithinItsRanges_data()
    {
        QTest::addColumn<bool>("highest");
        QTest::newRow("lowest draws") << false;
        QTest::newRow("highest draws") << true;
    }

    // Dropped from the trash, a note glides down; dropped again once shown, it only comes
    // forward.
    void glideRestsWithinItsRanges()
    {
        QFETCH(bool, highest);
        f_->services().uniform = [highest](double lo, double hi) { return highest ? hi : lo; };
        NoteModel* note = addNote("x", false);
        note->setDeletedAt(QDateTime::currentDateTimeUtc());
        app().drop(note);
        QVERIFY(!note->deletedAt() && note->onScreen());
        QCOMPARE(note->tilt(), highest ? 1.5 : -1.5);
        QCOMPARE(note->peel(), 0.0);
        Fixture::advance(1);

        const QRectF frame = app().window(note)->frame();
        QCOMPARE(frame.x(), midX - win / 2 + (highest ? 240 : -240));
        QCOMPARE(frame.y() + win - inset, notchBottom - 70 - (highest ? 140 : 0)); // paper's top
        QCOMPARE(note->tilt(), 0.0);
        QCOMPARE(f_->sounds, (QList<Effect>{Effect::Peel, Effect::Pat}));
        QCOMPARE(savedAt(f_->savedNotes()[0]), frame.topLeft());

        app().drop(note);
        QCOMPARE(f_->sounds.size(), 2);
        QVERIFY(!motion::isAnimatingWindowFrame(app().window(note)));
    }

    void flickUpTucksUnlessThePointerRested_data()
    {
        QTest::addColumn<double>("pause");
        QTest::addColumn<bool>("tucked");
        QTest::newRow("released at once") << 0.05 << true;
        QTest::newRow("rested first") << 0.12 << false;
    }

    void flickUpTucksUnlessThePointerRested()
    {
        QFETCH(double, pause);
        QFETCH(bool, tucked);
        NoteModel* note = addNote("x", true, {600, 200});
        drag(note, 700, 300);
        for (int i = 1; i <= 4; ++i) { // 1500 points per second, far from the notch
            Fixture::advance(0.02);
            drag(note, 700, 300 + 30 * i);
        }
        QCOMPARE(at(note), QPointF(600, 320));
        Fixture::advance(pause);
        gestures().noteDragEnded(note);
        QVERIFY(gestures().dragging() != note);
        QCOMPARE(f_->sounds.last(), tucked ? Effect::Whoosh : Effect::Pat);
        Fixture::advance(0.5);
        QCOMPARE(note->onScreen(), !tucked);
        QVERIFY(tucked || note->origin == QPointF(600, 320));
    }

    void aDragHoldsTheNoteWhereItWasPressed()
    {
        // A loaded machine reports the first move of a drag far from the press.
        NoteModel* note = addNote("x", true, {600, 300});
        QWindow* window = app().window(note)->windowHandle();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QPoint pressAt(100, 60); // on the paper's top strip: window-local, y down
        QTest::mousePress(window, Qt::LeftButton, {}, pressAt);
        pointAt(900, 500);
        QTest::mouseMove(window, pressAt + QPoint(80, 27));
        const QPointF held(900 - 100, 500 - (win - 60));
        QCOMPARE(at(note), held);
        QTest::mouseRelease(window, Qt::LeftButton, {}, pressAt + QPoint(80, 27));
        Fixture::advance(0.5);
        QCOMPARE(note->origin, held);
    }

    void hoveringOverTheNotchShrinksAndTucksOnRelease()
    {
        NoteModel* note = addNote("x", true, {600, 400});
        drag(note, 700, 500);
        drag(note, midX, notchBottom - 49);
        QCOMPARE(note->scale(), 0.92);
        QVERIFY(app().padHot());
        drag(note, midX, 700);
        QCOMPARE(note->scale(), 1.0);
        QVERIFY(!app().padHot());
        drag(note, midX + 169, notchBottom - 10);
        Fixture::advance(0.3);
        gestures().noteDragEnded(note);
        QVERIFY(!app().padHot());
        QCOMPARE(f_->sounds.last(), Effect::Whoosh);

        // Near the notch: up to 169 off its middle and 49 below it, or above the screen.
        const struct {
            double off, below;
            bool near;
        } points[] = {{169, 49, true}, {-170, 49, false}, {169, 50, false}, {0, -20, true}};
        for (const auto& p : points) {
            QVERIFY2(gestures().nearNotch(QPointF(midX + p.off, notchBottom - p.below)) == p.near,
                     qPrintable(QStringLiteral("%1 off, %2 below").arg(p.off).arg(p.below)));
        }
    }

    void tuckedNoteGoesLastAtRestAndKeepsItsWindow()
    {
        NoteModel* a = addNote("a", true, {300, 300});
        NoteModel* b = addNote("b", false);
        Panel* window = app().window(a);
        QList<QPair<double, bool>> flashes;
        connect(f_->app.get(), &AppController::changed, this, [&](AppController::Field field) {
            if (field == AppController::Field::SavedFlash)
                flashes << qMakePair(motion::FrameClock::instance().now(), app().savedFlash());
        });
        app().bringAllBack(); // a only: b is tucked already
        QCOMPARE(f_->sounds, QList<Effect>{Effect::Whoosh});
        QCOMPARE(a->scale(), 0.3);
        QCOMPARE(a->opacity(), 0.0);
        QVERIFY(a->onScreen()); // until the window has reached the notch
        Fixture::advance(0.31);

        QCOMPARE(app().notes(), (QList<NoteModel*>{b, a}));
        QVERIFY(!a->onScreen());
        QCOMPARE(QList<double>({a->scale(), a->opacity(), a->peel(), a->tilt()}),
                 QList<double>({1, 1, 0, 0}));
        QVERIFY(!window->isVisible());
        QCOMPARE(at(a), QPointF(midX - win / 2, notchBottom - (win - inset)));
        QCOMPARE(f_->desktop.haptics, 1);
        QVERIFY(app().savedFlash());
        QCOMPARE(app().wobble(), 1.5);
        Fixture::advance(0.2);
        QCOMPARE(app().wobble(), 0.0);
        const QJsonObject saved = f_->savedNotes().last().toObject();
        QVERIFY(QUuid(saved["id"].toString()) == a->id() && !saved["onScreen"].toBool());

        app().show(a);
        QVERIFY(app().window(a) == window && window->isVisible());
        QCOMPARE(at(a), QPointF(300, 300));

        // Each tuck ends its own flash: a second one in the first's time lights it again.
        Fixture::advance(0.29);
        app().putBack(a);
        Fixture::advance(1.3);
        QCOMPARE(flashes.size(), 3);
        QVERIFY(!flashes[2].second && std::abs(flashes[2].first - flashes[0].first - 1.6) < 1e-6);
        QVERIFY(flashes[1].second);
        Fixture::advance(1);
        QCOMPARE(flashes.size(), 4);
        QVERIFY(std::abs(flashes[3].first - flashes[1].first - 1.6) < 1e-6);

        // All that is on screen goes back at once.
        NoteModel* c = addNote("c", true);
        NoteModel* d = addNote("d", true);
        f_->sounds.clear();
        app().bringAllBack();
        QCOMPARE(f_->sounds, (QList<Effect>{Effect::Whoosh, Effect::Whoosh}));
        Fixture::advance(0.5);
        QVERIFY(!c->onScreen() && !d->onScreen());
    }

    void nonsensePointerNeverReachesTheFile()
    {
        NoteModel* note = addNote("x", false, {100, 100});
        pull(qQNaN(), qQNaN());
        gestures().padDragEnded();
        Fixture::advance(1);
        QCOMPARE(note->origin, QPointF(100, 100));
        gestures().noteDragChanged(note);
        gestures().noteDragEnded(note);
        const QJsonArray saved = f_->savedNotes(); // NaN and infinity are written as null
        QVERIFY(saved[0]["x"].isDouble() && saved[0]["y"].isDouble());
    }
};

static RegisterSuite<GesturesTest> registered;
#include "GesturesTest.moc"
