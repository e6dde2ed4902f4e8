#include "NoteViewFixture.h"
#include "model/Images.h"
#include "noteview/CloseButton.h"
#include "noteview/FoldedRow.h"
#include "noteview/Grip.h"
#include "noteview/HeaderStrip.h"
#include "noteview/ImageStrip.h"
#include "noteview/NoteEffects.h"
#include "noteview/NoteTextArea.h"
#include "paint/Palette.h"
#include "paint/Paper.h"
#include "paint/Shapes.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QWindow>

using geometry::inset;

// How a note window behaves as a whole: what it paints on its first frame, where it takes the
// pointer and how it grows.
class NoteWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // At rest a note is paper with rounded corners and a shadow in its window's margin, and its
    // picture strip shows the paper behind it.
    void restingNoteLooksLikePaper()
    {
        NoteViewFixture f;
        f.addNote("pink", {f.saveImage(QSize(200, 100))});
        f.note->setColor("pink");
        NoteView& view = f.showView();
        const QImage image = grabbed(view);
        const QRectF paper = view.paperRect();
        QCOMPARE(paper.topLeft(), QPointF(inset, inset));
        // The header's capsule is darker than the paper around it.
        const QColor capsule = pixel(image, QPointF(paper.center().x(), paper.top() + 13));
        QVERIFY(capsule.lightness() <
                pixel(image, paper.topLeft() + QPointF(40, 13)).lightness() - 10);
        // Rounded corners of radius 16: the very corner is not paper, 8 points in is.
        QVERIFY(pixel(image, paper.topLeft() + QPointF(1.5, 1.5)).alpha() < 100);
        QCOMPARE(pixel(image, paper.topLeft() + QPointF(8, 8)).alpha(), 255);
        // A shadow hangs below the paper, inside the window margin.
        QVERIFY(pixel(image, QPointF(paper.center().x(), paper.bottom() + 6)).alpha() > 0);
        QCOMPARE(pixel(image, QPointF(2, 2)).alpha(), 0);

        QImage bare(view.size(), QImage::Format_ARGB32_Premultiplied);
        bare.fill(Qt::transparent);
        {
            QPainter p(&bare);
            paint::paintPaper(p, paper, false, "pink");
        }
        // In the note's colour, as the strip shows it beside the tile, in its side margin.
        const QRect strip = view.imageStrip()->geometry().translated(
            view.imageStrip()->parentWidget()->mapTo(&view, QPoint(0, 0)));
        QVERIFY(strip.height() > 20);
        const QPoint beside(strip.left() + 3, strip.center().y());
        QVERIFY2(near(image.pixelColor(beside), bare.pixelColor(beside), 10),
                 qPrintable(image.pixelColor(beside).name()));
    }

    // Folded by a double click on its header, a note shows its header and title alone and takes
    // the pointer only on its paper; unfolded, it is whole again.
    void aFoldedNoteShowsItsTitleAndTakesThePointerOnlyOnItsPaper()
    {
        NoteViewFixture f;
        f.addNote("\n\nGroceries\nmilk");
        f.note->setPaperH(260);
        NoteView& view = f.showView();
        Panel& window = *f.window;
        const QRect handle =
            Panel::resizeHandle(QRectF(window.rect()).adjusted(inset, inset, -inset, -inset));
        QVERIFY(window.inputRegion().has_value());
        QVERIFY(window.inputRegion()->contains(handle.center()));
        QVERIFY(!window.inputRegion()->contains(QPoint(5, 5))); // the transparent margin

        QTest::mouseDClick(view.header(), Qt::LeftButton, {}, QPoint(100, 13));
        f.advance(2);
        QVERIFY(f.note->folded());
        QCOMPARE(view.sizeMenu()->actions().at(6)->text(), "Unfold");
        const QRectF paper = view.paperRect();
        QCOMPARE(paper.height(), NoteView::foldedHeight);
        QCOMPARE(paper.top(), double(inset));
        QVERIFY(view.foldedRow()->isVisible());
        QCOMPARE(view.foldedRow()->title(), "Groceries");
        QVERIFY(!view.editor()->isVisible() && !view.grip()->isVisible());
        QVERIFY(!view.placeholder()->isVisible());
        const QRegion region = *window.inputRegion();
        QVERIFY(region.contains(paper.center().toPoint()));
        const QPoint below(int(paper.center().x()), int(paper.bottom()) + 100);
        QVERIFY(!region.contains(below));
        QVERIFY(!region.contains(handle.center()));

        // A press and drag there leaves the note where it is.
        int drags = 0;
        window.onDrag = [&drags](bool) { ++drags; };
        const QRectF before = window.frame();
        QTest::mousePress(window.windowHandle(), Qt::LeftButton, {}, below);
        QTest::mouseMove(window.windowHandle(), below + QPoint(40, 40));
        QTest::mouseRelease(window.windowHandle(), Qt::LeftButton, {}, below + QPoint(40, 40));
        QCOMPARE(drags, 0);
        QCOMPARE(window.frame(), before);

        f.note->setFolded(false);
        f.advance(2);
        QCOMPARE(view.paperRect().height(), f.app->sizes().totalH(f.note));
        QVERIFY(view.editor()->isVisible() && view.grip()->isVisible());
    }

    // Showing a note changes nothing in it, not even characters a plain editor could rewrite
    // on the way in, and one that already says something does not grab the keyboard. A hover
    // the note missed the end of while hidden is forgotten.
    void showingANoteDoesNotTouchItAndForgetsAStaleHover()
    {
        NoteViewFixture f;
        const QString text = "a\u00a0b\ttab\n\nend ";
        f.addNote(text);
        const QDateTime modified = f.note->modified();
        // The pointer left while the window was hidden: no leave event ever came.
        f.note->setHovering(true);
        f.desktop.mouse = QPointF(5, 5);
        NoteView& view = f.showView();
        QVERIFY(!view.placeholder()->isVisible());
        QVERIFY(view.focusWidget() != view.editor());
        QCOMPARE(f.note->text(), text);
        QCOMPARE(f.note->modified(), modified);
        QVERIFY(!QFile::exists(f.dir.filePath("notes.json")));
        QCOMPARE(view.editor()->noteText(), text);
        QVERIFY(!f.note->hovering());
        QCOMPARE(view.closeButton()->reveal(), 0.0);

        // Shown again under the pointer, it is hovered at once.
        f.window->hide();
        const QPoint overPaper = view.mapTo(f.window.get(), view.paperRect().center().toPoint());
        f.desktop.mouse = platform::pointFromQt(f.window->mapToGlobal(QPointF(overPaper)),
                                                QGuiApplication::primaryScreen()->geometry());
        f.window->show();
        QVERIFY(f.note->hovering());
        QCOMPARE(view.closeButton()->reveal(), 1.0);
    }

    void growingNoteStaysOnTheVisibleScreen()
    {
        NoteViewFixture f;
        f.addNote("low on the screen");
        f.note->origin = QPointF(400, 20);
        f.app->show(f.note);
        Panel* window = f.app->window(f.note);
        QVERIFY(window != nullptr);
        const double top = window->frame().top() + window->frame().height();

        qobject_cast<NoteView*>(window->content())->sizeMenu()->actions().at(3)->trigger();
        QCOMPARE(QSizeF(f.note->paperW(), f.note->paperH()), QSizeF(320, 360)); // Large
        f.advance(1);
        const QRectF grown = window->frame();
        QCOMPARE(grown.height(), f.app->sizes().winH(f.note));
        QVERIFY2(grown.y() + inset >= f.desktop.frame.y(), qPrintable(QString::number(grown.y())));
        QVERIFY(grown.y() + grown.height() - inset <= f.desktop.frame.height());
        QCOMPARE(f.note->origin, grown.topLeft());

        // Room below: the window keeps its top edge and grows down.
        f.app->sizes().setSize(f.note, 220, 220);
        f.advance(1);
        const QRectF shrunk = window->frame();
        QCOMPARE(shrunk.y() + shrunk.height(), grown.y() + grown.height());
        QVERIFY(top <= grown.y() + grown.height());
    }

    void aCurledNotesWindowWidensButKeepsItsFrame()
    {
        NoteViewFixture f;
        const QString picture = f.saveImage(QSize(100, 60));
        // Read already, as the pad's card had it read before the note was pulled.
        QVERIFY(!Images::load(picture).isNull());
        f.addNote("A note with words\non two lines", {picture});
        f.note->origin = QPointF(500, 400);
        f.note->setPeel(65);
        f.app->show(f.note);
        Panel* window = f.app->window(f.note);
        auto* view = qobject_cast<NoteView*>(window->content());
        QVERIFY(view != nullptr);
        const QSizeF flat(f.app->sizes().winW(f.note), f.app->sizes().winH(f.note));
        QCOMPARE(window->frame(), QRectF(QPointF(500, 400), flat));

        // The whole curled paper lies inside the window, already on its first frame.
        const QRectF paper = view->paperRect();
        const QRectF drawn =
            noteview::effectTransform(view->effects(), paper).map(QPolygonF(paper)).boundingRect();
        QVERIFY2(
            drawn.left() >= 0 && drawn.right() <= view->width(),
            qPrintable(
                QString("%1..%2 in %3").arg(drawn.left()).arg(drawn.right()).arg(view->width())));
        QVERIFY(window->width() > flat.width());
        // Its first frame, before any event is handled, draws the paper centred in the window.
        QVERIFY(view->isShowingSnapshot());
        const QImage first = grabbed(*view);
        const int y = int(paper.top()) + 20;
        for (const double x : {paper.center().x(), paper.left() + 2, paper.right() - 2}) {
            QVERIFY2(first.pixelColor(int(x), y).alpha() == 255, qPrintable(QString::number(x)));
        }
        // and it is the frame every later curl draws.
        f.note->setPeel(0);
        QVERIFY(!view->isShowingSnapshot());
        f.note->setPeel(65);
        QCoreApplication::processEvents();
        const QImage later = grabbed(*view);
        QCOMPARE(later.size(), first.size());
        const int differing = differingPixels(first, later, 8);
        QVERIFY2(differing < first.width() * first.height() / 500,
                 qPrintable(QString::number(differing)));

        // Moving it moves the frame the controller knows; flat again, the window is its frame.
        window->setFrameOrigin(QPointF(520, 380));
        QCOMPARE(window->frame().topLeft(), QPointF(520, 380));
        f.note->setPeel(0);
        QCOMPARE(window->width(), int(flat.width()));
        QCOMPARE(window->frame(), QRectF(QPointF(520, 380), flat));
    }

    void shapeMaskKeepsOnlyWhollyPaintedPixels()
    {
        const QSize size(120, 90);
        const QPainterPath paper = paint::continuousRect(QRectF(10.5, 10.25, 90, 70), 16);
        QImage painted(size, QImage::Format_ARGB32_Premultiplied);
        painted.fill(Qt::transparent);
        {
            QPainter p(&painted);
            p.setRenderHint(QPainter::Antialiasing);
            p.fillPath(paper, Qt::yellow);
        }
        const QRegion mask = Panel::opaqueRegion(paper, size);
        int inside = 0;
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                if (mask.contains(QPoint(x, y))) {
                    ++inside;
                    // Without a compositor a half-covered pixel would show dark.
                    QVERIFY2(painted.pixelColor(x, y).alpha() == 255,
                             qPrintable(QString("%1,%2").arg(x).arg(y)));
                }
            }
        }
        // All but a thin edge of the paper stays.
        QVERIFY(inside > 88 * 68 - 200);
        QVERIFY(!mask.contains(QPoint(11, 11)));
    }
};

static RegisterSuite<NoteWindowTest> registered;

#include "NoteWindowTest.moc"
