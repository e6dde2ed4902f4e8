#include "noteview/NoteView.h"

#include "controller/NoteSizes.h"
#include "model/Checklist.h"
#include "model/Images.h"
#include "model/LongText.h"
#include "model/SpellCheck.h"
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
#include "platform/Spelling.h"
#include "support/Fixture.h"
#include "support/ImageBytes.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QUuid>
#include <QWindow>
#include <algorithm>
#include <memory>

// The shared fixture with its controller made, and one note shown in a view the size of its
// window.
struct NoteViewFixture : Fixture {
    NoteModel* note = nullptr;
    std::unique_ptr<Panel> window;
    NoteView* view = nullptr;

    NoteViewFixture() { launch(); }
    ~NoteViewFixture() { window.reset(); }

    NoteModel* addNote(const QString& text, const QStringList& images = {})
    {
        NoteData data;
        data.id = QUuid::createUuid();
        data.text = text;
        data.onScreen = true;
        data.created = today.addDays(-3);
        data.modified = today.addDays(-2);
        data.images = images;
        note = new NoteModel(data);
        app->setNotes(app->notes() + QList<NoteModel*>{note});
        return note;
    }

    // The view in a note window of its own, as the controller shows it.
    NoteView& showView()
    {
        window = std::make_unique<Panel>(
            QRectF(QPointF(300, 300), QSizeF(app->sizes().winW(note), app->sizes().winH(note))));
        view = new NoteView(note, app.get());
        window->setContent(view);
        window->show();
        settle(); // the offscreen platform exposes a shown window through the event queue
        return *view;
    }
    NoteView& show(const QString& text, const QStringList& images = {})
    {
        addNote(text, images);
        return showView();
    }
};

inline bool near(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance &&
           std::abs(a.alpha() - b.alpha()) <= tolerance;
}

inline QImage grabbed(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

// Pixels of the two pictures further apart than `tolerance` in some channel, over the area
// both cover.
inline int differingPixels(const QImage& a, const QImage& b, int tolerance)
{
    int count = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x)
            count += near(a.pixelColor(x, y), b.pixelColor(x, y), tolerance) ? 0 : 1;
    return count;
}

using geometry::inset;

// A note's view in its window: what it paints from its first frame, where it takes the pointer
// and the keyboard, and how it grows.
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

        // An edit made elsewhere shrinking the text under the caret clamps it instead of failing.
        view.editor()->moveCursor(QTextCursor::End);
        f.note->setText("B");
        QCOMPARE(view.editor()->textCursor().position(), 1);
        f.note->setText(QString());
        QVERIFY(view.placeholder()->isVisible());
        QCOMPARE(view.editor()->noteText(), QString());
    }

    void crumpleAndPeelPaintASnapshotThenGoLive()
    {
        NoteViewFixture f;
        NoteView& view = f.show("peeled");
        // A crumple overrides scale, tilt and opacity.
        f.note->setScale(0.5);
        f.note->setTilt(-4);
        f.note->setOpacity(0.6);
        motion::withAnimation(motion::Animation::easeOut(0.28), [&] { f.note->setCrumpled(true); });
        f.advance(0.14);
        const noteview::NoteEffects half = view.effects();
        QVERIFY(half.scale > 0.5 && half.scale < 0.88 && half.blur > 0 && half.blur < 8);

        f.advance(0.3);
        const noteview::NoteEffects e = view.effects();
        QVERIFY(e.scale == 0.88 && e.rotation == 3 && e.opacity == 0 && e.blur == 8);
        QVERIFY(view.isShowingSnapshot());
        // Whatever the note asks for meanwhile, a crumpled note stays crumpled.
        f.note->setScale(1.2);
        f.note->setOpacity(1);
        QVERIFY(view.effects().scale == e.scale && view.effects().opacity == 0);

        f.note->setCrumpled(false);
        f.note->setScale(1);
        f.note->setTilt(0);
        QVERIFY(view.effects().isIdentity() && !view.isShowingSnapshot());

        // A peel paints one snapshot, the note as it looks at rest, text and all.
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
        f.advance(3);
        QCOMPARE(view.effects().peel, 0.0);
        QVERIFY(!view.isShowingSnapshot() && view.editor()->isVisible());
        QCOMPARE(view.editor()->noteText(), "peeled!");
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
        QCOMPARE(view.imageStrip()->height(), qRound(f.app->sizes().imagesAreaH(f.note)));
        QCOMPARE(view.imageStrip()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

        // More pictures than the tallest note holds: the strip scrolls.
        f.note->setImages(f.note->images() + QStringList{tall, tall});
        QCOMPARE(view.imageStrip()->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        QTRY_VERIFY(view.imageStrip()->verticalScrollBar()->isVisible());
        QVERIFY(view.imageStrip()->verticalScrollBar()->maximum() > 0);
    }

    void imageTilesShowTheWorkersCopyOnlyAtItsSizeAndTakeDrops()
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

        // A picture dropped on the paper is added.
        QMimeData mime;
        mime.setImageData(flatImage(QSize(40, 30), Qt::red));
        const QPoint at = view.paperRect().center().toPoint();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(view.childAt(at), &enter);
        QVERIFY(enter.isAccepted() && view.isDropping());
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(view.childAt(at), &drop);
        QVERIFY(!view.isDropping());
        QTRY_COMPARE(f.note->images().size(), 2);
        QTRY_COMPARE(view.imageStrip()->tiles().size(), 2);
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
        for (int line = 0; line < 148000; ++line)
            huge += QString("%1 GET /static/app.js 200 the quick brown fox\n").arg(line, 6);
        pasteOver(5, 9, huge);
        QVERIFY(f.note->text() == "head " + huge);

        // What is shown says what is left out, and the shown part cannot be edited into the
        // note by mistake.
        QVERIFY(editor->isReadOnly());
        const QString shown = editor->toPlainText();
        QVERIFY(shown.size() < longtext::editLimit + 200);
        QVERIFY(shown.startsWith("Too long to edit here") && shown.contains("\nhead      0 GET"));
        QTest::keyClicks(editor, "x");
        QCOMPARE(f.note->text().size(), 5 + huge.size());

        // Cut back to a size that can be edited, the note is editable again.
        f.note->setText("short again");
        QVERIFY(!editor->isReadOnly());
        QCOMPARE(editor->noteText(), "short again");
        QVERIFY(f.log.lines.isEmpty());
    }

    // At rest a note is paper with rounded corners and a shadow in its window's margin, and its
    // picture strip shows the paper behind it.
    void restingNoteLooksLikePaper()
    {
        NoteViewFixture f;
        QImage seeThrough(200, 100, QImage::Format_ARGB32);
        seeThrough.fill(Qt::transparent);
        f.addNote("pink", {f.saveImage(QSize(200, 100)), *Images::save(seeThrough)});
        f.note->setColor("pink");
        NoteView& view = f.showView();
        Fixture::finishImages();
        const QImage image = grabbed(view);
        const QRectF paper = view.paperRect();
        QCOMPARE(paper.topLeft(), QPointF(inset, inset));
        QImage bare(view.size(), QImage::Format_ARGB32_Premultiplied);
        bare.fill(Qt::transparent);
        {
            QPainter p(&bare);
            paint::paintPaper(p, paper, false, "pink");
        }
        const auto pixel = [&image](QPointF p) { return image.pixelColor(p.toPoint()); };
        // The header's capsule is darker than the paper around it.
        QVERIFY(pixel({paper.center().x(), paper.top() + 13}).lightness() <
                pixel(paper.topLeft() + QPointF(40, 13)).lightness() - 10);
        // Rounded corners, the shadow below and the clear margin are the paper's own.
        for (const QPointF at :
             {paper.topLeft() + QPointF(1.5, 1.5), paper.topLeft() + QPointF(8, 8),
              QPointF(paper.center().x(), paper.bottom() + 6), QPointF(2, 2)})
            QVERIFY2(near(pixel(at), bare.pixelColor(at.toPoint()), 10),
                     qPrintable(pixel(at).name(QColor::HexArgb)));
        // In the note's colour, as the strip shows it beside the tile, in its side margin.
        const QRect strip = view.imageStrip()->geometry().translated(
            view.imageStrip()->parentWidget()->mapTo(&view, QPoint(0, 0)));
        QVERIFY(strip.height() > 20);
        const QPoint beside(strip.left() + 3, strip.center().y());
        QVERIFY2(near(image.pixelColor(beside), bare.pixelColor(beside), 10),
                 qPrintable(image.pixelColor(beside).name()));
        // Through a see-through picture the paper shows as it is: no shadow lies under it.
        const QWidget* clear = view.imageStrip()->tiles().at(1);
        const QPoint middle = clear->mapTo(&view, clear->rect().center());
        const QImage now = grabbed(view);
        QVERIFY2(near(now.pixelColor(middle), bare.pixelColor(middle), 4),
                 qPrintable(now.pixelColor(middle).name()));
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
        QVERIFY(!region.contains(below) && !region.contains(handle.center()));

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
    // the note missed the end of while hidden is forgotten. Its controls show only on hover
    // but take clicks either way.
    void showingANoteDoesNotTouchItAndItsControlsFollowTheHover()
    {
        NoteViewFixture f;
        const QString text = "a\u00a0b\ttab\n\nend ";
        f.addNote(text);
        const QDateTime modified = f.note->modified();
        // The pointer left while the window was hidden: no leave event ever came.
        f.note->setHovering(true);
        f.desktop.mouse = QPointF(5, 5);
        NoteView& view = f.showView();
        QVERIFY(!view.placeholder()->isVisible() && view.focusWidget() != view.editor());
        QCOMPARE(f.note->text(), text);
        QCOMPARE(f.note->modified(), modified);
        QVERIFY(!QFile::exists(f.dir.filePath("notes.json")));
        QCOMPARE(view.editor()->noteText(), text);
        QVERIFY(!f.note->hovering());
        QCOMPARE(view.closeButton()->reveal(), 0.0);
        QCOMPARE(view.grip()->reveal(), 0.0);
        QCOMPARE(view.grip()->cursor().shape(), Qt::SizeFDiagCursor);

        // The pointer over the note reveals its controls; over the margin they fade.
        QTest::mouseMove(view.editor(), QPoint(20, 20));
        QTRY_VERIFY(f.note->hovering());
        f.advance(0.2);
        QCOMPARE(view.closeButton()->reveal(), 1.0);
        QCOMPARE(view.grip()->reveal(), 1.0);
        QTest::mouseMove(&view, QPoint(2, 2)); // the transparent margin
        QTRY_VERIFY(!f.note->hovering());
        f.advance(0.2);
        QCOMPARE(view.closeButton()->reveal(), 0.0);

        // Shown again under the pointer, it is hovered at once.
        f.window->hide();
        const QPoint overPaper = view.mapTo(f.window.get(), view.paperRect().center().toPoint());
        f.desktop.mouse = platform::pointFromQt(f.window->mapToGlobal(QPointF(overPaper)),
                                                QGuiApplication::primaryScreen()->geometry());
        f.window->show();
        QVERIFY(f.note->hovering());
        QCOMPARE(view.closeButton()->reveal(), 1.0);
        // Moved away from the still pointer (a landing), it hears no leave: it asks once settled.
        f.window->move(f.window->pos() + QPoint(400, 300));
        f.advance(0.5);
        QVERIFY(!f.note->hovering());
        QCOMPARE(view.closeButton()->reveal(), 0.0);
        f.window->move(f.window->pos() - QPoint(400, 300));
        f.advance(0.5);
        QVERIFY(f.note->hovering());

        // Tab from the note reaches the close button, never a click on the note.
        view.setFocus();
        QTest::keyClick(&view, Qt::Key_Tab);
        QCOMPARE(view.window()->focusWidget(), view.closeButton());

        // Invisible, the close button still trashes the note.
        f.note->setHovering(false);
        f.advance(0.2);
        QCOMPARE(view.closeButton()->reveal(), 0.0);
        QTest::mouseClick(view.closeButton(), Qt::LeftButton);
        QVERIFY(f.note->deletedAt().has_value() && !f.note->onScreen());
    }

    // A shopping list: lines made items with Ctrl+Shift+L, a box ticked by a click (and back
    // with Ctrl+Z), Return continuing the list and, on an empty item, ending it.
    void checklistItemsAreMadeTickedAndContinued()
    {
        NoteViewFixture f;
        f.addNote("Shop\nmilk\neggs");
        noteview::TextArea* text = f.showView().editor();
        QTextCursor c(text->document()->findBlockByNumber(1));
        c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        text->setTextCursor(c);
        QTest::keyClick(text, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(f.note->text(), "Shop\n- [ ] milk\n- [ ] eggs");
        const QTextBlock eggs = text->document()->findBlockByNumber(2);
        const QRect box = text->cursorRect(QTextCursor(eggs));
        QTest::mouseClick(text->viewport(), Qt::LeftButton, {}, box.center() + QPoint(6, 0));
        QCOMPARE(f.note->text(), "Shop\n- [ ] milk\n- [x] eggs");
        QCOMPARE(checklist::progress(f.note->text())->done, 1);
        QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.note->text(), "Shop\n- [ ] milk\n- [ ] eggs");
        text->moveCursor(QTextCursor::End);
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClicks(text, "tea");
        QCOMPARE(f.note->text(), "Shop\n- [ ] milk\n- [ ] eggs\n- [ ] tea");
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(f.note->text(), "Shop\n- [ ] milk\n- [ ] eggs\n- [ ] tea\n");

        // Ctrl+B at a word makes it bold, drawn bold with faint markers; again, plain. Struck
        // across two items, each gets its own markers.
        c.setPosition(text->document()->findBlockByNumber(1).position() + 8);
        text->setTextCursor(c);
        QTest::keyClick(text, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(f.note->text(), "Shop\n- [ ] **milk**\n- [ ] eggs\n- [ ] tea\n");
        const auto drawnAt = [text](int block, int at) {
            for (const auto& r : text->document()->findBlockByNumber(block).layout()->formats()) {
                if (r.start <= at && at < r.start + r.length) {
                    return r.format;
                }
            }
            return QTextCharFormat();
        };
        QCOMPARE(drawnAt(1, 9).fontWeight(), QFont::Bold);
        QVERIFY(drawnAt(1, 6).foreground().color().alphaF() < 0.5);
        QTest::keyClick(text, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(f.note->text(), "Shop\n- [ ] milk\n- [ ] eggs\n- [ ] tea\n");
        c.setPosition(text->document()->findBlockByNumber(2).position() + 6);
        c.setPosition(text->document()->findBlockByNumber(3).position() + 9,
                      QTextCursor::KeepAnchor);
        text->setTextCursor(c);
        QTest::keyClick(text, Qt::Key_X, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(f.note->text(), "Shop\n- [ ] milk\n- [ ] ~~eggs~~\n- [ ] ~~tea~~\n");
        QCOMPARE(text->textCursor().selectedText(), QStringLiteral("eggs~~\u2029- [ ] ~~tea"));

        // Rich text pasted keeps its styles as markers; a long one is converted off this thread.
        auto* rich = new QMimeData;
        rich->setHtml("<p><b>big</b> " + QString(5000, u'y') + "</p>");
        rich->setText("big");
        QApplication::clipboard()->setMimeData(rich);
        text->moveCursor(QTextCursor::End);
        text->paste();
        QTRY_VERIFY(f.note->text().endsWith("~~tea~~\n**big** " + QString(5000, u'y')));
    }

    // A misspelt word is drawn with the wavy underline (not while the caret is in it, nor while
    // checking is off), corrected from its menu as one edit, or added to the dictionary.
    void misspeltWordsAreUnderlinedAndCorrected()
    {
        NoteViewFixture f;
        platform::Spelling& spelling = platform::Spelling::shared();
        spelling.setEnabled(true);
        spelling.use(platform::hunspellSpeller({QUILLHAVEN_SOURCE_DIR "/tests/data/tiny"}, {}));
        f.addNote("Buy\n- [x] mlik");
        noteview::TextArea* text = f.showView().editor();
        const auto underlined = [&](int at) {
            const QTextBlock item = text->document()->findBlockByNumber(1);
            const QList<QTextLayout::FormatRange> ranges = item.layout()->formats();
            return std::any_of(ranges.begin(), ranges.end(), [at](const auto& r) {
                return r.start <= at && at < r.start + r.length &&
                       r.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline &&
                       r.format.fontStrikeOut();
            });
        };
        QVERIFY(underlined(7) && !underlined(3));
        QMenu menu;
        QTextCursor at(text->document()->findBlockByNumber(1));
        at.setPosition(at.position() + 8);
        spellcheck::offerCorrections(menu, at);
        QCOMPARE(menu.actions().at(0)->text(), "milk");
        menu.actions().at(0)->trigger();
        QCOMPARE(f.note->text(), "Buy\n- [x] milk");
        QVERIFY(!underlined(7));
        QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.note->text(), "Buy\n- [x] mlik");
        text->moveCursor(QTextCursor::End);
        QTest::keyClick(text, Qt::Key_S); // a word being typed waits for the caret to leave
        QVERIFY(!underlined(7));
        text->moveCursor(QTextCursor::Start);
        QVERIFY(underlined(7));
        spelling.setEnabled(false);
        QVERIFY(!underlined(7));
        spelling.setEnabled(true);
        QVERIFY(underlined(7));
        QMenu again;
        spellcheck::offerCorrections(again, at);
        again.actions().at(1)->trigger(); // "Add to Dictionary"
        QVERIFY(!underlined(7));
        spelling.use(nullptr);
    }

    void growingNoteStaysOnTheVisibleScreen()
    {
        NoteViewFixture f;
        f.addNote("low on the screen");
        f.note->origin = QPointF(400, 20);
        f.app->show(f.note);
        Panel* window = f.app->window(f.note);
        QVERIFY(window != nullptr);

        qobject_cast<NoteView*>(window->content())->sizeMenu()->actions().at(3)->trigger();
        QCOMPARE(QSizeF(f.note->paperW(), f.note->paperH()), QSizeF(320, 360)); // Large
        f.advance(1);
        const QRectF grown = window->frame();
        QCOMPARE(grown.height(), f.app->sizes().winH(f.note));
        QVERIFY2(grown.y() + inset >= f.desktop.frame.y(), qPrintable(QString::number(grown.y())));
        QVERIFY(grown.y() + grown.height() - inset <= f.desktop.frame.height());
        QCOMPARE(f.note->origin, grown.topLeft());
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
        QVERIFY(drawn.left() >= 0 && drawn.right() <= view->width());
        QVERIFY(window->width() > flat.width());
        // Its first frame, before any event is handled, draws the paper centred in the window.
        QVERIFY(view->isShowingSnapshot());
        const QImage first = grabbed(*view);
        const int y = int(paper.top()) + 20;
        for (const double x : {paper.center().x(), paper.left() + 2, paper.right() - 2})
            QVERIFY2(first.pixelColor(int(x), y).alpha() == 255, qPrintable(QString::number(x)));
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
        // Tucked, then pulled again: curled while its window is hidden, it still shows centred.
        window->hide();
        f.note->setPeel(65);
        window->show();
        QVERIFY(differingPixels(first, grabbed(*view), 8) < first.width() * first.height() / 500);
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
        QVERIFY(inside > 88 * 68 - 200 && !mask.contains(QPoint(11, 11)));
    }
};

static RegisterSuite<NoteViewTest> registered;

#include "NoteViewTest.moc"
