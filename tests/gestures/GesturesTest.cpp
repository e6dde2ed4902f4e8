#include "controller/Gestures.h"

#include "app/WidgetViews.h"
#include "controller/AppController.h"
#include "model/NotesWriter.h"
#include "model/Store.h"
#include "motion/Motion.h"
#include "support/Fixture.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QApplication>
#include <QFile>
#include <cmath>
#include <limits>
#include <memory>

using Effect = Sound::Effect;

// The fake screen is 1440 x 900 with a 24-point notch: top 900, midX 720, the notch's lower
// edge at 876. A 220 x 220 note has a 300 x 300 window.
namespace {

constexpr double top = 900;
constexpr double notchBottom = 876;
constexpr double midX = 720;
constexpr double win = 300;
constexpr double inset = 40;

void advance(double seconds)
{
    motion::FrameClock::instance().advance(seconds);
}

QPointF origin(const QRectF& frame)
{
    return {frame.x(), frame.y()};
}

} // namespace

class GesturesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f_;
    std::unique_ptr<AppController> app_;

    NoteModel* addNote(const QString& text, bool onScreen, QPointF at = {600, 300})
    {
        NoteData data;
        data.id = QUuid::createUuid();
        data.text = text;
        data.onScreen = onScreen;
        data.x = at.x();
        data.y = at.y();
        auto* note = new NoteModel(data, app_.get());
        app_->setNotes(app_->notes() + QList<NoteModel*>{note});
        if (onScreen) {
            app_->show(note);
        }
        return note;
    }

    void pointAt(double x, double y) { f_->desktop.mouse = QPointF(x, y); }

    QList<NoteData> savedNotes() const
    {
        app_->writer().drain();
        QFile file(Store::url());
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return Store::decode(file.readAll()).value_or(QList<NoteData>());
    }

    // Starts a window drag of an on-screen note at the pointer, then moves it upwards in steps.
    void flickUp(NoteModel* note, QPointF from, int steps, double pointsPerStep, double dt)
    {
        pointAt(from.x(), from.y());
        app_->gestures().noteDragChanged(note);
        for (int i = 1; i <= steps; ++i) {
            advance(dt);
            pointAt(from.x(), from.y() + pointsPerStep * i);
            app_->gestures().noteDragChanged(note);
        }
    }

private Q_SLOTS:
    void init()
    {
        f_ = std::make_unique<Fixture>();
        f_->services().uniform = [](double lo, double hi) { return (lo + hi) / 2; };
        app_ = makeAppController();
    }

    void cleanup()
    {
        app_.reset();
        advance(3); // lets steps and animations of the gone controller lapse
        f_.reset();
    }

    void pullPeelsOffAndLandsWhereLetGo()
    {
        NoteModel* note = addNote(QStringLiteral("hello"), false);
        pointAt(midX, 895);
        app_->gestures().padDragChanged();
        QCOMPARE(app_->gestures().pulling(), note);
        QVERIFY(note->onScreen());
        QCOMPARE(note->peel(), 65.0);
        Panel* window = app_->window(note);
        QVERIFY(window != nullptr && window->isVisible());
        // Centred on the pointer, the paper's top 14 above it.
        QCOMPARE(origin(window->frame()), QPointF(midX - win / 2, 895 + 14 + inset - win));
        QCOMPARE(f_->sounds, QList<Effect>{Effect::Peel});

        const QList<QPair<double, double>> peelAt = {{795, 5}, {785, 0}, {900, 65}, {700, 0}};
        for (const auto& [y, peel] : peelAt) {
            pointAt(midX, y);
            app_->gestures().padDragChanged();
            QCOMPARE(note->peel(), peel);
        }
        QCOMPARE(origin(window->frame()).y(), 700 + 14 + inset - win);

        app_->gestures().padDragEnded();
        QVERIFY(app_->gestures().pulling() == nullptr);
        QCOMPARE(f_->sounds, (QList<Effect>{Effect::Peel, Effect::Pat}));
        QCOMPARE(f_->desktop.haptics, 1);
        QCOMPARE(note->scale(), 1.0);
        QCOMPARE(note->origin, QPointF(midX - win / 2, 700 + 14 + inset - win));
        const QList<NoteData> saved = savedNotes();
        QCOMPARE(saved.size(), 1);
        QVERIFY(saved[0].onScreen);
        QCOMPARE(QPointF(saved[0].x, saved[0].y), note->origin);
        // A note with text does not take the keyboard.
        QVERIFY(QApplication::activeWindow() != window);
    }

    // XWayland under wlroots lets go of the press as the pulled note's window appears under
    // the pointer. That release, over the note, does not end the pull: the note follows raw
    // motion and lands at the raw release. A release anywhere else ends the pull as before.
    void pullOutlivesTheReleaseOfTheNoteAppearing()
    {
        f_->desktop.crossingReleases = true;
        f_->desktop.motionEvents = true;
        app_->start();
        NoteModel* note = addNote(QStringLiteral("carried"), false);
        pointAt(midX, 880);
        app_->gestures().padDragChanged();
        pointAt(midX, 860); // over the note's window, which hangs from the pointer
        // The letting go reaches the pad and raw input at the same time, in either order.
        app_->gestures().padDragEnded(7);
        f_->desktop.released(7);
        QCOMPARE(app_->gestures().pulling(), note);
        QCOMPARE(f_->sounds, QList<Effect>{Effect::Peel});

        f_->desktop.moveMouse(QPointF(400, 500));
        Panel* window = app_->window(note);
        QCOMPARE(origin(window->frame()), QPointF(400 - win / 2, 500 + 14 + inset - win));
        f_->desktop.released(9);
        QVERIFY(app_->gestures().pulling() == nullptr);
        QCOMPARE(f_->sounds, (QList<Effect>{Effect::Peel, Effect::Pat}));
        QCOMPARE(note->origin, QPointF(400 - win / 2, 500 + 14 + inset - win));
        f_->desktop.released(11); // a later click elsewhere is nothing to the pull
        QCOMPARE(f_->sounds.size(), 2);

        // Let go away from the note (a click beside the pad): over at once.
        NoteModel* other = addNote(QStringLiteral("clicked"), false);
        pointAt(midX, 880);
        app_->gestures().padDragChanged();
        QCOMPARE(app_->gestures().pulling(), other);
        pointAt(midX - 400, 880);
        app_->gestures().padDragEnded();
        QVERIFY(app_->gestures().pulling() == nullptr);
    }

    void sidewaysSwipeTiltsAtMostFiveDegrees()
    {
        addNote(QString(), false);
        pointAt(midX, 895);
        app_->gestures().padDragChanged();
        NoteModel* note = app_->gestures().pulling();
        const QList<QPair<double, double>> tiltAt = {{midX + 400, 5}, {midX - 400, -5}};
        for (const auto& [x, tilt] : tiltAt) {
            pointAt(x, 800);
            app_->gestures().padDragChanged();
            QCOMPARE(note->tilt(), tilt); // never beyond 5 either way
        }
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
        NoteModel* note = addNote(QStringLiteral("x"), false);
        pointAt(midX, 895);
        app_->gestures().padDragChanged();
        pointAt(midX + distance, 895);
        app_->gestures().padDragChanged();
        app_->gestures().padDragEnded();
        QCOMPARE(f_->sounds.contains(Effect::Pat), !glides);
        QCOMPARE(motion::isAnimatingWindowFrame(app_->window(note)), glides);
        advance(1);
        QCOMPARE(f_->sounds.count(Effect::Pat), 1);
        QCOMPARE(note->origin, origin(app_->window(note)->frame()));
    }

    void glideRestsWithinItsRanges_data()
    {
        QTest::addColumn<bool>("highest");
        QTest::newRow("lowest draws") << false;
        QTest::newRow("highest draws") << true;
    }

    void glideRestsWithinItsRanges()
    {
        QFETCH(bool, highest);
        QList<QPair<double, double>> ranges;
        f_->services().uniform = [&](double lo, double hi) {
            ranges << qMakePair(lo, hi);
            return highest ? hi : lo;
        };
        NoteModel* note = addNote(QStringLiteral("x"), false);
        app_->drop(note);
        QCOMPARE(ranges, (QList<QPair<double, double>>{{-240, 240}, {0, 140}, {-1.5, 1.5}}));
        QCOMPARE(note->tilt(), highest ? 1.5 : -1.5);
        QCOMPARE(note->peel(), 0.0);
        advance(1);

        const QRectF frame = app_->window(note)->frame();
        const double rx = highest ? 240 : -240;
        const double ry = highest ? 140 : 0;
        QCOMPARE(frame.x(), midX - win / 2 + rx);
        QCOMPARE(frame.y() + win - inset, notchBottom - 70 - ry); // the paper's top edge
        QCOMPARE(note->tilt(), 0.0);
        QCOMPARE(f_->sounds, (QList<Effect>{Effect::Peel, Effect::Pat}));
        QCOMPARE(QPointF(savedNotes()[0].x, savedNotes()[0].y), origin(frame));
    }

    void droppingRestoresFromTrashOrFrontsAShownNote()
    {
        NoteModel* trashed = addNote(QStringLiteral("x"), false);
        trashed->setDeletedAt(QDateTime::currentDateTimeUtc());
        app_->drop(trashed);
        QVERIFY(!trashed->deletedAt());
        QVERIFY(trashed->onScreen());

        NoteModel* shown = addNote(QStringLiteral("y"), true);
        f_->sounds.clear();
        app_->drop(shown);
        QVERIFY(f_->sounds.isEmpty());
        QVERIFY(!motion::isAnimatingWindowFrame(app_->window(shown)));
    }

    void emptyNoteTakesTheKeyboardOnLanding()
    {
        pointAt(midX, 895);
        app_->gestures().padDragChanged(); // an empty pad makes a new note
        QCOMPARE(app_->notes().size(), 1);
        NoteModel* note = app_->notes().first();
        QCOMPARE(note->color(), QStringLiteral("yellow"));
        pointAt(midX, 600);
        app_->gestures().padDragChanged();
        app_->gestures().padDragEnded();
        QTRY_COMPARE(QApplication::activeWindow(), app_->window(note));
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
        NoteModel* note = addNote(QStringLiteral("x"), true, {600, 200});
        flickUp(note, {700, 300}, 4, 30, 0.02); // 1500 points per second, far from the notch
        QCOMPARE(origin(app_->window(note)->frame()), QPointF(600, 320));
        advance(pause);
        app_->gestures().noteDragEnded(note);
        QVERIFY(app_->gestures().dragging() != note);
        QCOMPARE(f_->sounds.last(), tucked ? Effect::Whoosh : Effect::Pat);
        advance(0.5);
        QCOMPARE(note->onScreen(), !tucked);
        if (!tucked) {
            QCOMPARE(note->origin, QPointF(600, 320));
        }
    }

    void aDragHoldsTheNoteWhereItWasPressed()
    {
        // A loaded machine reports the first move of a drag far from the press.
        NoteModel* note = addNote(QStringLiteral("x"), true, {600, 300});
        Panel* panel = app_->window(note);
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        const QPoint pressAt(100, 60); // on the paper's top strip: window-local, y down
        QTest::mousePress(panel->windowHandle(), Qt::LeftButton, {}, pressAt);
        pointAt(900, 500);
        QTest::mouseMove(panel->windowHandle(), pressAt + QPoint(80, 27));
        const QPointF held(900 - 100, 500 - (win - 60));
        QCOMPARE(origin(panel->frame()), held);
        QTest::mouseRelease(panel->windowHandle(), Qt::LeftButton, {}, pressAt + QPoint(80, 27));
        advance(0.5);
        QCOMPARE(note->origin, held);
    }

    void hoveringOverTheNotchShrinksAndTucksOnRelease()
    {
        NoteModel* note = addNote(QStringLiteral("x"), true, {600, 400});
        pointAt(700, 500);
        app_->gestures().noteDragChanged(note);
        pointAt(midX, notchBottom - 49);
        app_->gestures().noteDragChanged(note);
        QCOMPARE(note->scale(), 0.92);
        QVERIFY(app_->padHot());
        pointAt(midX, 700);
        app_->gestures().noteDragChanged(note);
        QCOMPARE(note->scale(), 1.0);
        QVERIFY(!app_->padHot());
        pointAt(midX + 169, notchBottom - 10);
        app_->gestures().noteDragChanged(note);
        advance(0.3);
        app_->gestures().noteDragEnded(note);
        QVERIFY(!app_->padHot());
        QCOMPARE(f_->sounds.last(), Effect::Whoosh);
    }

    void nearNotchEdges_data()
    {
        QTest::addColumn<double>("off");
        QTest::addColumn<double>("below");
        QTest::addColumn<bool>("near");
        QTest::newRow("169 off, 49 below") << 169.0 << 49.0 << true;
        QTest::newRow("170 off") << -170.0 << 49.0 << false;
        QTest::newRow("50 below") << 169.0 << 50.0 << false;
        QTest::newRow("above the screen") << 0.0 << -20.0 << true;
    }

    void nearNotchEdges()
    {
        QFETCH(double, off);
        QFETCH(double, below);
        QFETCH(bool, near);
        QCOMPARE(app_->gestures().nearNotch(QPointF(midX + off, notchBottom - below)), near);
    }

    void tuckedNoteGoesLastAtRestAndKeepsItsWindow()
    {
        NoteModel* a = addNote(QStringLiteral("a"), true, {300, 300});
        NoteModel* b = addNote(QStringLiteral("b"), false);
        Panel* window = app_->window(a);
        app_->putBack(a);
        QCOMPARE(f_->sounds, QList<Effect>{Effect::Whoosh});
        QCOMPARE(a->scale(), 0.3);
        QCOMPARE(a->opacity(), 0.0);
        QVERIFY(a->onScreen()); // until the window has reached the notch
        advance(0.31);

        QCOMPARE(app_->notes(), (QList<NoteModel*>{b, a}));
        QVERIFY(!a->onScreen());
        QCOMPARE(QList<double>({a->scale(), a->opacity(), a->peel(), a->tilt()}),
                 QList<double>({1, 1, 0, 0}));
        QVERIFY(!window->isVisible());
        QCOMPARE(origin(window->frame()), QPointF(midX - win / 2, notchBottom - (win - inset)));
        QCOMPARE(f_->desktop.haptics, 1);
        QVERIFY(app_->savedFlash());
        QCOMPARE(app_->wobble(), 1.5);
        advance(0.2);
        QCOMPARE(app_->wobble(), 0.0);
        const QList<NoteData> saved = savedNotes();
        QCOMPARE(saved.last().id, a->id());
        QVERIFY(!saved.last().onScreen);

        app_->show(a);
        QCOMPARE(app_->window(a), window);
        QVERIFY(window->isVisible());
        QCOMPARE(origin(window->frame()), QPointF(300, 300));
    }

    void eachTuckEndsItsOwnFlash()
    {
        NoteModel* a = addNote(QStringLiteral("a"), true);
        NoteModel* b = addNote(QStringLiteral("b"), true);
        QList<QPair<double, bool>> flashes;
        connect(app_.get(), &AppController::changed, this, [&](AppController::Field field) {
            if (field == AppController::Field::SavedFlash) {
                flashes << qMakePair(motion::FrameClock::instance().now(), app_->savedFlash());
            }
        });
        app_->putBack(a);
        advance(0.8);
        app_->putBack(b);
        advance(1.3);
        QCOMPARE(flashes.size(), 3);
        QVERIFY(!flashes[2].second);
        QVERIFY(std::abs(flashes[2].first - flashes[0].first - 1.6) < 1e-6);
        QVERIFY(flashes[1].second); // the second tuck lit it again in between
        advance(1);
        QCOMPARE(flashes.size(), 4);
        QVERIFY(std::abs(flashes[3].first - flashes[1].first - 1.6) < 1e-6);
    }

    void bringAllBackTucksOnlyWhatIsOnScreen()
    {
        NoteModel* tucked = addNote(QStringLiteral("t"), false);
        app_->bringAllBack();
        advance(1);
        QVERIFY(f_->sounds.isEmpty());
        QCOMPARE(app_->wobble(), 0.0);
        QCOMPARE(f_->desktop.haptics, 0);

        NoteModel* a = addNote(QStringLiteral("a"), true);
        NoteModel* b = addNote(QStringLiteral("b"), true);
        app_->bringAllBack();
        QCOMPARE(f_->sounds, (QList<Effect>{Effect::Whoosh, Effect::Whoosh}));
        advance(0.5);
        QCOMPARE(app_->notes(), (QList<NoteModel*>{tucked, a, b}));
        QCOMPARE(f_->desktop.haptics, 2);
    }

    void nonsensePointerNeverReachesTheFile()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        NoteModel* note = addNote(QStringLiteral("x"), false, {100, 100});
        pointAt(nan, nan);
        app_->gestures().padDragChanged();
        app_->gestures().padDragEnded();
        advance(1);
        QCOMPARE(note->origin, QPointF(100, 100));
        app_->gestures().noteDragChanged(note);
        app_->gestures().noteDragEnded(note);
        const NoteData saved = savedNotes().first();
        QVERIFY(std::isfinite(saved.x) && std::isfinite(saved.y));
    }
};

static RegisterSuite<GesturesTest> registered;
#include "GesturesTest.moc"
