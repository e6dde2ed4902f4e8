#include "controller/Gestures.h"
#include "controller/NoteSizes.h"
#include "model/NoteGeometry.h"
#include "motion/Motion.h"
#include "noteview/NoteTextArea.h"
#include "support/Fixture.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QSettings>
#include <QTest>
#include <cmath>

// Paper sizes, the image strip, the note window around them, and the resize handle.
class SizingTest : public StartedSuite {
    Q_OBJECT

    using Event = ResizePhase;

    // A note shown with its window's top-left corner at (100, 700) in the y-up space.
    NoteModel* shownNote(double w = 220, double ph = 220)
    {
        NoteModel* note = h->addNote(QStringLiteral("sized"), true);
        note->setPaperW(w);
        note->setPaperH(ph);
        note->origin = QPointF(100, 700 - app().sizes().winH(note));
        app().show(note);
        return note;
    }
    // Presses the handle at the window's lower right corner.
    void press(NoteModel* note)
    {
        h->desktop.mouse = QPointF(395, 405);
        QVERIFY(app().gestures().resizeHook(note, Event::Down, 1));
    }
    void drag(NoteModel* note, QPointF to)
    {
        h->desktop.mouse = to;
        QVERIFY(app().gestures().resizeHook(note, Event::Dragged, 0));
    }
    // The first note's `key` in the notes file; 0 while nothing is saved.
    double saved(const char* key) const
    {
        const QJsonArray notes = h->savedNotes();
        return notes.isEmpty() ? 0 : notes[0][key].toDouble();
    }
    static QSizeF paper(const NoteModel* note) { return {note->paperW(), note->paperH()}; }

private Q_SLOTS:
    void totalHeightStaysWithinTheScreen()
    {
        NoteModel* note = h->addNote(QString());
        note->setPaperH(100);
        QCOMPARE(app().sizes().totalH(note), 120.0);
        note->setPaperH(900);
        QCOMPARE(app().sizes().totalH(note), 760.0);

        h->desktop.frame = QRectF(0, 0, 1920, 1200);
        h->launch();
        QCOMPARE(app().sizes().maxTotal(), 800.0);
        // On a tiny screen the upper bound wins over the lower one.
        h->desktop.frame = QRectF(0, 0, 640, 200);
        h->launch();
        QCOMPARE(app().sizes().totalH(h->addNote(QString())), 60.0);
    }

    void imagesAreScaledToThePaperWidth()
    {
        NoteModel* note = h->addNote(QString());
        const QString wide = h->storeImage(QSize(1000, 500));
        const QString tall = h->storeImage(QSize(1000, 2000));
        const QString flat = h->storeImage(QSize(1000, 10));
        QList<double> heights;
        for (const QString& name : {wide, tall, flat, u"missing.png"_qs, u"../notes.json"_qs}) {
            heights << app().sizes().imageHeight(name, 200);
        }
        QCOMPARE(heights, (QList<double>{100, 260, 50, 60, 60}));

        QCOMPARE(app().sizes().stripH(note), 0.0);
        QCOMPARE(app().sizes().imagesAreaH(note), 0.0);
        note->setImages({wide, tall, flat, QStringLiteral("missing.png")});
        QCOMPARE(app().sizes().stripH(note), 100.0 + 260 + 50 + 60 + 4 * 6);
        note->setPaperH(94);
        QCOMPARE(app().sizes().totalH(note), 94.0 + 494);
        QCOMPARE(app().sizes().imagesAreaH(note), 94.0 + 494 - 116);
        note->setImages({wide});
        QCOMPARE(app().sizes().imagesAreaH(note), 84.0);
        note->setPaperH(600);
        QCOMPARE(app().sizes().imagesAreaH(note), 106.0);
    }

    void resizingKeepsTheTopLeftCorner()
    {
        NoteModel* note = shownNote();
        Panel* panel = app().window(note);
        QCOMPARE(panel->frame(), QRectF(100, 400, 300, 300));
        note->setPaperW(320);
        note->setPaperH(300);
        app().sizes().resize(note);
        QCOMPARE(panel->frame(), QRectF(100, 320, 400, 380));
        QCOMPARE(note->origin, QPointF(100, 320));

        // Same size: the origin is left alone even when it disagrees with the window.
        note->origin = QPointF(5, 5);
        app().sizes().resize(note);
        QCOMPARE(note->origin, QPointF(5, 5));

        // Animated, the origin is stored at once.
        note->origin = QPointF(100, 320);
        app().sizes().setSize(note, 180, 180);
        QCOMPARE(note->origin, QPointF(100, 440));
        QVERIFY(motion::isAnimatingWindowFrame(app().window(note)));
        h->advance(0.25);
        QCOMPARE(app().window(note)->frame(), QRectF(100, 440, 260, 260));
        QCOMPARE(h->sounds, QList<Sound::Effect>{Sound::Effect::Pat});
        QCOMPARE(saved("pw"), 180.0);

        // Preset sizes are taken as given, but never a broken one.
        app().sizes().setSize(note, 100, 50);
        QCOMPARE(paper(note), QSizeF(100, 50));
        app().sizes().setSize(note, qQNaN(), 300);
        QCOMPARE(paper(note), QSizeF(100, 50));
    }

    void theHandleResizesFromPressToRelease()
    {
        NoteModel* note = shownNote();
        const double before = saved("pw");
        press(note);
        drag(note, QPointF(445, 380));
        drag(note, QPointF(495, 355));
        QCOMPARE(paper(note), QSizeF(320, 270));
        QCOMPARE(note->sizeBadge(), std::optional<QString>(QStringLiteral("320 \u00D7 270")));
        QCOMPARE(app().window(note)->frame(), QRectF(100, 350, 400, 350));
        QCOMPARE(saved("pw"), before); // nothing is written while dragging

        QVERIFY(app().gestures().resizeHook(note, Event::Up, 0));
        QCOMPARE(QSizeF(saved("pw"), saved("ph")), QSizeF(320, 270));
        QVERIFY(h->sounds.isEmpty());
        h->advance(0.65);
        QVERIFY(note->sizeBadge());
        h->advance(0.06);
        QVERIFY(!note->sizeBadge());

        // A drag after the release changes nothing.
        drag(note, QPointF(600, 100));
        QCOMPARE(note->paperW(), 320.0);

        // Within the limits, from each press; with a picture the paper keeps 94 (a total of 120
        // less the strip would leave less).
        const struct {
            QPointF to;
            QSizeF kept;
        } limits[] = {{{qQNaN(), qInf()}, {320, 270}}, // a broken sample
                      {{3000, -3000}, {600, 760}},
                      {{-1000, 2000}, {160, 120}},
                      {{395, 2000}, {160, 94}}};
        for (const auto& limit : limits) {
            if (limit.kept.height() == 94) {
                note->setImages({h->storeImage(QSize(1000, 500))});
            }
            press(note);
            drag(note, limit.to);
            QCOMPARE(paper(note), limit.kept);
            QVERIFY(std::isfinite(note->origin.x()) && std::isfinite(note->origin.y()));
            QVERIFY(app().gestures().resizeHook(note, Event::Up, 0));
        }

        // A double click resets the size; folded or windowless notes decline.
        QVERIFY(app().gestures().resizeHook(note, Event::Down, 2));
        QCOMPARE(paper(note), QSizeF(220, 220));
        QCOMPARE(h->sounds, QList<Sound::Effect>{Sound::Effect::Pat});
        note->setFolded(true);
        QVERIFY(!app().gestures().resizeHook(note, Event::Down, 1));
        NoteModel* tucked = h->addNote(QStringLiteral("no window"));
        QVERIFY(!app().gestures().resizeHook(tucked, Event::Down, 1));
        QVERIFY(app().gestures().resizeHook(shownNote(), Event::Other, 1));
    }

    void fittingSizesThePaperToTheText()
    {
        NoteModel* note = shownNote(220, 500);
        app().sizes().fitToContent(note);
        QCOMPARE(paper(note), QSizeF(220, 120));
        QCOMPARE(h->sounds.size(), 1);

        note->setImages({h->storeImage(QSize(100, 100))});
        app().sizes().fitToContent(note);
        QCOMPARE(note->paperH(), 94.0);

        note->setText(QStringLiteral("line\n").repeated(12));
        app().sizes().fitToContent(note);
        const double twelve = note->paperH();
        // 13 lines (the last one empty) of 14-pixel text with 3 between them, plus 56.
        QVERIFY2(twelve > 13 * 14 + 56 && twelve < 13 * 22 + 56,
                 qPrintable(QString::number(twelve)));

        // The notes' text size, from a note's keys: every note and the fit follow, and this
        // computer remembers it; it stops at its smallest step.
        auto* text = app().window(note)->findChild<noteview::TextArea*>();
        const struct {
            int key;
            double scale;
        } steps[] = {{Qt::Key_Equal, 1.1}, {Qt::Key_Plus, 1.25}, {Qt::Key_0, 1.0},
                     {Qt::Key_Minus, 0.9}, {Qt::Key_Minus, 0.8}, {Qt::Key_Minus, 0.8}};
        for (const auto& step : steps) {
            QTest::keyClick(text, Qt::Key(step.key), Qt::ControlModifier);
            QCOMPARE(geometry::textScale(), step.scale);
            QCOMPARE(text->font().pixelSize(), int(std::lround(14 * step.scale)));
            QCOMPARE(QSettings().value("notes/textScale").toDouble(), step.scale);
        }
        QCOMPARE(note->text(), QStringLiteral("line\n").repeated(12)); // no key was typed
        app().sizes().fitToContent(note);
        QVERIFY(note->paperH() < twelve);
        app().sizes().stepTextScale(0);

        note->setText(QStringLiteral("word ").repeated(4000));
        app().sizes().fitToContent(note);
        QCOMPARE(note->paperH(), 800.0);
        QCOMPARE(saved("ph"), 800.0);
    }
};

static RegisterSuite<SizingTest> registered;
#include "SizingTest.moc"
