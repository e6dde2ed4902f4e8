#include "NoteViewFixture.h"
#include "model/Images.h"
#include "model/LongText.h"
#include "noteview/CloseButton.h"
#include "noteview/FoldedRow.h"
#include "noteview/Grip.h"
#include "noteview/HeaderStrip.h"
#include "noteview/ImageStrip.h"
#include "noteview/NoteTextArea.h"
#include "paint/Palette.h"
#include "support/ImageBytes.h"

#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>

using geometry::inset;

class NoteViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void anEmptyNoteTakesTheKeyboardAndSavesWhatIsTyped()
    {
        NoteViewFixture f;
        NoteView& view = f.show(QString());
        QVERIFY(view.placeholder()->isVisible());
        QCOMPARE(view.placeholder()->text(), "New Note");
        QCOMPARE(view.focusWidget(), view.editor());
        QTest::keyClicks(view.editor(), "Buy");
        QVERIFY(!view.placeholder()->isVisible());
        QTest::keyClick(view.editor(), Qt::Key_Return);
        QTest::keyClicks(view.editor(), "eggs");
        QCOMPARE(f.note->text(), "Buy\neggs");
        QCOMPARE(f.note->modified(), f.today);

        // An edit made elsewhere (the dashboard) reaches the editor; the caret stays put.
        QTextCursor caret = view.editor()->textCursor();
        caret.setPosition(2);
        view.editor()->setTextCursor(caret);
        f.note->setText("Buy 6\neggs");
        QCOMPARE(view.editor()->noteText(), "Buy 6\neggs");
        QCOMPARE(view.editor()->textCursor().position(), 2);
        // Shrinking under the caret clamps it instead of failing.
        view.editor()->moveCursor(QTextCursor::End);
        f.note->setText("B");
        QCOMPARE(view.editor()->textCursor().position(), 1);
        f.note->setText(QString());
        QVERIFY(view.placeholder()->isVisible());
        QCOMPARE(view.editor()->noteText(), QString());
    }

    void crumpleOverridesScaleTiltAndOpacity()
    {
        NoteViewFixture f;
        NoteView& view = f.show("bye");
        f.note->setScale(0.5);
        f.note->setTilt(-4);
        f.note->setOpacity(0.6);
        motion::withAnimation(motion::Animation::easeOut(0.28), [&] { f.note->setCrumpled(true); });
        f.advance(0.14);
        const noteview::NoteEffects half = view.effects();
        QVERIFY(half.scale > 0.5 && half.scale < 0.88);
        QVERIFY(half.blur > 0 && half.blur < 8);

        f.advance(0.3);
        const noteview::NoteEffects e = view.effects();
        QCOMPARE(e.scale, 0.88);
        QCOMPARE(e.rotation, 3.0);
        QCOMPARE(e.opacity, 0.0);
        QCOMPARE(e.blur, 8.0);
        QVERIFY(view.isShowingSnapshot());
        // Whatever the note asks for meanwhile, a crumpled note stays crumpled.
        f.note->setScale(1.2);
        f.note->setOpacity(1);
        QCOMPARE(view.effects().scale, 0.88);
        QCOMPARE(view.effects().opacity, 0.0);

        f.note->setCrumpled(false);
        f.note->setScale(1);
        f.note->setTilt(0);
        QVERIFY(view.effects().isIdentity());
        QVERIFY(!view.isShowingSnapshot());
    }

    void peelPaintsOneSnapshotThenGoesLive()
    {
        NoteViewFixture f;
        NoteView& view = f.show("peeled");
        QVERIFY(!view.isShowingSnapshot());

        // The snapshot is the note as it looks at rest, text and all.
        const QImage rest = grabbed(view);
        f.note->setOpacity(0.999);
        QVERIFY(view.isShowingSnapshot());
        const QImage faded = grabbed(view);
        QCOMPARE(faded.size(), rest.size());
        const int differing = differingPixels(rest, faded, 6);
        QVERIFY2(differing < rest.width() * rest.height() / 200,
                 qPrintable(QString::number(differing)));
        f.note->setOpacity(1);
        QVERIFY(!view.isShowingSnapshot());

        f.note->setPeel(65);
        QVERIFY(view.isShowingSnapshot());
        // The curled paper swings its lower edge towards the viewer: wider at the bottom.
        const QRectF paper = view.paperRect();
        const QPolygonF quad =
            noteview::effectTransform(view.effects(), paper).map(QPolygonF(paper));
        QVERIFY(QLineF(quad[2], quad[3]).length() > QLineF(quad[0], quad[1]).length() * 1.3);
        QVERIFY(quad[2].y() < paper.bottom()); // and shorter

        motion::withAnimation(motion::Animation::spring(0.45, 0.85), [&] { f.note->setPeel(0); });
        f.advance(0.1);
        const double mid = view.effects().peel;
        QVERIFY(mid > 0 && mid < 65);
        // Every frame of the curl reuses the one snapshot; a change of content retakes it.
        const int taken = view.snapshotsTaken();
        f.advance(0.05);
        QCOMPARE(view.snapshotsTaken(), taken);
        f.note->setText("peeled!");
        QTRY_COMPARE(view.snapshotsTaken(), taken + 1);
        f.note->setText("peeled");
        QTRY_COMPARE(view.snapshotsTaken(), taken + 2);
        f.advance(3);
        QCOMPARE(view.effects().peel, 0.0);
        QVERIFY(!view.isShowingSnapshot());
        QVERIFY(view.editor()->isVisible());
        QCOMPARE(view.editor()->noteText(), "peeled");
    }

    void hoverOnlyControlsStillTakeClicks()
    {
        NoteViewFixture f;
        NoteView& view = f.show("to be thrown away");
        QCOMPARE(view.closeButton()->reveal(), 0.0);
        QCOMPARE(view.grip()->reveal(), 0.0);
        QCOMPARE(view.grip()->cursor().shape(), Qt::SizeFDiagCursor);

        QTest::mouseMove(view.editor(), QPoint(20, 20));
        QTRY_VERIFY(f.note->hovering());
        f.advance(0.2);
        QCOMPARE(view.closeButton()->reveal(), 1.0);
        QCOMPARE(view.grip()->reveal(), 1.0);
        QTest::mouseMove(&view, QPoint(2, 2)); // the transparent margin
        QTRY_VERIFY(!f.note->hovering());
        f.advance(0.2);
        QCOMPARE(view.closeButton()->reveal(), 0.0);

        // Invisible, the close button still trashes the note.
        QTest::mouseClick(view.closeButton(), Qt::LeftButton);
        QVERIFY(f.note->deletedAt().has_value());
        QVERIFY(!f.note->onScreen());
    }

    void imageTilesAreClampedAndScrollOnlyWhenTall()
    {
        NoteViewFixture f;
        const QString tall = f.saveImage(QSize(100, 1000));
        const QString flat = f.saveImage(QSize(1000, 10));
        QVERIFY(!tall.isEmpty() && !flat.isEmpty());
        NoteView& view = f.show("pics", {tall, "missing.png", flat});
        Fixture::finishImages(); // the pictures are read on the worker
        const QList<noteview::StripTile*> tiles = view.imageStrip()->tiles();
        QCOMPARE(tiles.size(), 2); // the unreadable file gets no tile
        QCOMPARE(tiles.at(0)->size(), QSize(200, 260));
        QCOMPARE(tiles.at(1)->size(), QSize(200, 50));
        QCOMPARE(tiles.at(1)->index(), 2);
        QCOMPARE(tiles.at(0)->toolTip(), "Click to view full size");
        QCOMPARE(view.imageStrip()->height(), qRound(f.app->sizes().imagesAreaH(f.note)));
        QCOMPARE(view.imageStrip()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

        // More pictures than the tallest note holds: the strip scrolls.
        f.note->setImages(f.note->images() + QStringList{tall, tall});
        QVERIFY(f.app->sizes().stripH(f.note) > f.app->sizes().imagesAreaH(f.note));
        QCOMPARE(view.imageStrip()->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        QTRY_VERIFY(view.imageStrip()->verticalScrollBar()->isVisible());
        QVERIFY(view.imageStrip()->verticalScrollBar()->maximum() > 0);
    }

    void imageTilesShowTheWorkersCopyOnlyAtItsSize()
    {
        NoteViewFixture f;
        const QString name = f.saveImage(QSize(400, 200)); // dark cyan
        f.addNote("pic", {name});
        // A copy marked red stands in for the one the worker makes for a 200 x 100 tile.
        const qreal dpr = qApp->devicePixelRatio();
        QImage marked((QSizeF(200, 100) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
        marked.fill(Qt::red);
        Images::rememberDisplayCopy(name, marked);
        NoteView& view = f.showView();
        Fixture::finishImages();
        noteview::StripTile* tile = view.imageStrip()->tiles().value(0);
        QVERIFY(tile != nullptr);
        QCOMPARE(tile->size(), QSize(200, 100));
        QCOMPARE(tile->grab().toImage().pixelColor(tile->rect().center() * dpr), QColor(Qt::red));

        // Wider, the tile scales the stored bitmap itself rather than stretch the old copy.
        f.note->setPaperW(300);
        QCOMPARE(tile->size(), QSize(280, 140));
        QCOMPARE(tile->grab().toImage().pixelColor(tile->rect().center() * dpr),
                 QColor(Qt::darkCyan));
    }

    void droppedImageIsAdded()
    {
        NoteViewFixture f;
        NoteView& view = f.show("drop here");
        QMimeData mime;
        mime.setImageData(flatImage(QSize(40, 30), Qt::red));
        const QPoint at = view.paperRect().center().toPoint();

        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(view.childAt(at), &enter);
        QVERIFY(enter.isAccepted());
        QVERIFY(view.isDropping());
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(view.childAt(at), &drop);
        QVERIFY(!view.isDropping());
        QTRY_COMPARE(f.note->images().size(), 1);
        QTRY_COMPARE(view.imageStrip()->tiles().size(), 1);
    }

    // Pastes up to a log file's worth; how long the big one takes is measured in bench/.
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

static RegisterSuite<NoteViewTest> registered;

#include "NoteViewTest.moc"
