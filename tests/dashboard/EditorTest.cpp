#include "Dashboard.h"
#include "dashboard/AddAnotherButton.h"
#include "dashboard/BarWidget.h"
#include "dashboard/DashListView.h"
#include "dashboard/DashWindow.h"
#include "dashboard/DropOverlay.h"
#include "dashboard/ImageTile.h"
#include "dashboard/NoteEditor.h"
#include "dashboard/Placeholder.h"
#include "dashboard/SwatchButton.h"
#include "model/LongText.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QToolButton>

namespace {

// The swatches drawn with the heavy ring (2 wide, black at 0.55); every other swatch must
// have the hairline (0.5 wide, black at 0.12), or the result holds a null entry.
QList<SwatchButton*> heavyRings(const NoteEditor& editor)
{
    QList<SwatchButton*> heavy;
    for (SwatchButton* swatch : editor.swatches()) {
        const QPen ring = swatch->ring();
        const double alpha = ring.color().alphaF();
        if (ring.widthF() == 2 && qAbs(alpha - 0.55) < 0.01) {
            heavy << swatch;
        } else if (ring.widthF() != 0.5 || qAbs(alpha - 0.12) > 0.01) {
            heavy << nullptr;
        }
    }
    return heavy;
}

// Sends a complete drag of `mime` onto the middle of `target`; returns whether the drop was
// accepted.
bool dropOn(QWidget* target, QMimeData* mime)
{
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction, mime, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

QPushButton* buttonNamed(QWidget* root, const QString& text)
{
    for (QPushButton* button : root->findChildren<QPushButton*>()) {
        if (button->text() == text || button->accessibleName() == text) {
            return button;
        }
    }
    return nullptr;
}

// Visible children of `parent` that stick out of it or overlap a sibling.
QStringList layoutFaults(const QWidget* parent)
{
    QList<const QWidget*> shown;
    for (const QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isVisible() && !child->isWindow() && child->width() > 0 && child->height() > 0) {
            shown << child;
        }
    }
    const auto name = [](const QWidget* w) {
        return w->accessibleName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                             : w->accessibleName();
    };
    QStringList faults;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (!parent->rect().contains(shown[i]->geometry())) {
            faults << name(shown[i]) + QStringLiteral(" is clipped");
        }
        for (qsizetype j = i + 1; j < shown.size(); ++j) {
            if (shown[i]->geometry().intersects(shown[j]->geometry())) {
                faults << name(shown[i]) + QStringLiteral(" overlaps ") + name(shown[j]);
            }
        }
    }
    return faults;
}

// Layout faults of the editor's regions and of its toolbar, plus the main action's label.
QStringList editorFaults(const NoteEditor* editor)
{
    QStringList faults = layoutFaults(editor);
    for (const BarWidget* bar : editor->findChildren<BarWidget*>()) {
        if (bar->isVisible()) {
            faults << layoutFaults(bar);
        }
    }
    const auto* main = editor->findChild<QPushButton*>(QStringLiteral("mainAction"));
    if (!main || main->text().isEmpty() ||
        main->width() < QFontMetrics(main->font()).horizontalAdvance(main->text())) {
        faults << QStringLiteral("the main action has lost its label");
    }
    for (const QToolButton* button : editor->findChildren<QToolButton*>()) {
        if (button->accessibleDescription() == QStringLiteral("Folder") &&
            button->text().size() < 2) {
            faults << QStringLiteral("the folder name is gone");
        }
    }
    return faults;
}

bool isRed(const QIcon& icon)
{
    const QImage image = icon.pixmap(16, 16).toImage();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 160 && c.red() > 150 && c.green() < 90 && c.blue() < 90) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

class EditorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void currentColorHasTheHeavyRing()
    {
        DashboardFixture f;
        NoteModel* note = f.add({.text = QStringLiteral("x"), .color = QStringLiteral("blue")});
        NoteEditor editor(note, f.app.get(), {});
        QCOMPARE(heavyRings(editor).size(), 1);
        QCOMPARE(heavyRings(editor).first()->colorName(), QStringLiteral("blue"));
        QCOMPARE(heavyRings(editor).first()->accessibleName(), QStringLiteral("Blue color"));

        QTest::mouseClick(editor.swatches()[1], Qt::LeftButton);
        QCOMPARE(note->color(), QStringLiteral("pink"));
        QCOMPARE(heavyRings(editor).first()->colorName(), QStringLiteral("pink"));

        note->setColor(QStringLiteral("mauve")); // not one of ours: no swatch is current
        QVERIFY(heavyRings(editor).isEmpty());
    }

    void typingWritesTheNoteAndOutsideEditsKeepTheCursor()
    {
        DashboardFixture f;
        NoteModel* note = f.add({.text = QStringLiteral("Hello"), .age = 3600});
        NoteEditor editor(note, f.app.get(), {});
        editor.show();
        QPlainTextEdit* text = editor.textEdit();
        text->moveCursor(QTextCursor::End);
        f.today = f.today.addSecs(5);
        QTest::keyClicks(text, QStringLiteral(" world"));
        QCOMPARE(note->text(), QStringLiteral("Hello world"));
        QCOMPARE(note->modified(), f.today);

        QTextCursor cursor = text->textCursor();
        cursor.setPosition(5);
        text->setTextCursor(cursor);
        note->setText(QStringLiteral("Hello world, again"));
        QCOMPARE(text->toPlainText(), QStringLiteral("Hello world, again"));
        QCOMPARE(text->textCursor().position(), 5);
        // A no-break space survives the round trip through the editor.
        note->setText(QStringLiteral("a\u00a0b"));
        text->moveCursor(QTextCursor::End);
        QTest::keyClicks(text, QStringLiteral("c"));
        QCOMPARE(note->text(), QStringLiteral("a\u00a0bc"));
    }

    void aNoteTooLongToEditIsShownInPartUntilItShrinks()
    {
        DashboardFixture f;
        const QString huge = QString(longtext::editLimit, u'y') + QStringLiteral("\nend");
        NoteModel* note = f.add({.text = huge});
        NoteEditor editor(note, f.app.get(), {});
        editor.show();
        QPlainTextEdit* text = editor.textEdit();
        QVERIFY(text->isReadOnly());
        QVERIFY(text->toPlainText().startsWith(QStringLiteral("Too long to edit here")));
        QVERIFY(!text->toPlainText().contains(QStringLiteral("end")));
        QCOMPARE(note->text(), huge); // showing it in part changed nothing

        note->setText(QStringLiteral("small"));
        QVERIFY(!text->isReadOnly());
        text->moveCursor(QTextCursor::End);
        QTest::keyClicks(text, QStringLiteral("er"));
        QCOMPARE(note->text(), QStringLiteral("smaller"));
    }

    void deletedNoteShowsRestoreBarAndRefusesDrops()
    {
        DashboardFixture f;
        NoteModel* note = f.add({.text = QStringLiteral("gone"), .deleted = true});
        NoteEditor editor(note, f.app.get(), {});
        editor.resize(600, 500);
        editor.show();
        QVERIFY(buttonNamed(&editor, QStringLiteral("Restore"))->isVisible());
        QVERIFY(buttonNamed(&editor, QStringLiteral("Delete Forever"))->isVisible());
        QVERIFY(!buttonNamed(&editor, QStringLiteral("Stick on Screen"))->isVisible());
        QVERIFY(editor.textEdit()->isReadOnly());

        auto* mime = new QMimeData;
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        mime->setImageData(image);
        QVERIFY(!dropOn(&editor, mime));
        Fixture::settle();
        QVERIFY(note->images().isEmpty());
        QVERIFY(!editor.isDropping());
        delete mime;
    }

    void dropAddsImagesToALiveNote()
    {
        DashboardFixture f;
        NoteModel* note = f.add({.text = QStringLiteral("live")});
        NoteEditor editor(note, f.app.get(), {});
        editor.resize(600, 500);
        editor.show();
        QMimeData mime;
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        mime.setImageData(image);
        QVERIFY(dropOn(editor.textEdit()->viewport(), &mime));
        QTRY_COMPARE(note->images().size(), 1);
        QVERIFY(!editor.isDropping());
        // The new image shows as a tile, followed by the button for more.
        QTRY_VERIFY(editor.findChild<ImageTile*>());
        QVERIFY(editor.findChild<AddAnotherButton*>());
    }

    void onScreenButtonNamesWhatItWillDo()
    {
        DashboardFixture f;
        NoteModel* note = f.add({.text = QStringLiteral("x"), .onScreen = true});
        NoteEditor editor(note, f.app.get(), {});
        QVERIFY(buttonNamed(&editor, QStringLiteral("Tuck into Notch")));
        note->setOnScreen(false);
        QVERIFY(buttonNamed(&editor, QStringLiteral("Stick on Screen")));
        QVERIFY(!buttonNamed(&editor, QStringLiteral("Tuck into Notch")));
    }

    void controlsStayWholeAtEveryWindowSize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("smallest") << QSize(760, 440) << false;
        QTest::newRow("usual") << QSize(1000, 640) << false;
        QTest::newRow("smallest, deleted") << QSize(760, 440) << true;
        QTest::newRow("wide") << QSize(1400, 800) << false;
    }

    void controlsStayWholeAtEveryWindowSize()
    {
        QFETCH(QSize, size);
        QFETCH(bool, deleted);
        DashboardFixture f;
        NoteModel* note = f.add({.text = QStringLiteral("Lisbon\ntram 28"),
                                 .folder = QStringLiteral("Personal"),
                                 .deleted = deleted});
        note->setImages({f.saveImage(QSize(800, 500)), f.saveImage(QSize(300, 600))});
        f.app->showDashboard();
        auto* window = qobject_cast<DashWindow*>(f.app->dashboardWindow());
        window->resize(size);
        DashboardView* view = window->view();
        if (deleted) {
            clickSidebarRow(*view, QStringLiteral("Recently Deleted"));
        }
        clickNoteRow(*view, note);
        Fixture::settle();
        QCOMPARE(window->size(), size);
        QVERIFY(view->editor() && view->editor()->isVisible());
        const QStringList faults = editorFaults(view->editor());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    // The pane's narrowest (the list and sidebar dragged wide), with a long folder name.
    void controlsStayWholeInTheNarrowestPane()
    {
        DashboardFixture f;
        f.app->addFolder(QStringLiteral("Household paperwork and receipts"));
        NoteModel* note = f.add({.text = QStringLiteral("x"), .onScreen = true});
        note->setFolder(QStringLiteral("Household paperwork and receipts"));
        note->setImages({f.saveImage(QSize(800, 500))});
        NoteEditor editor(note, f.app.get(), {});
        editor.resize(300, 400);
        editor.show();
        Fixture::settle();
        const QStringList faults = editorFaults(&editor);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
        QCOMPARE(editor.findChild<QPushButton*>(QStringLiteral("mainAction"))->text(),
                 QStringLiteral("Tuck into Notch"));
    }

    // The tile's menu removes the image while the tile is still handling the menu: the tile
    // must outlive that handler. Destructive entries are marked red.
    void removingAnImageFromItsTileOutlivesTheMenu()
    {
        DashboardFixture f;
        NoteModel* note = f.add({.text = QStringLiteral("pictures")});
        const QString first = f.saveImage(QSize(40, 30));
        const QString second = f.saveImage(QSize(40, 30));
        note->setImages({first, second});
        NoteEditor editor(note, f.app.get(), {});
        editor.resize(600, 500);
        editor.show();
        Fixture::finishImages(); // read on the worker, then the tiles are built again
        QPointer<ImageTile> tile = editor.findChildren<ImageTile*>().value(0);
        QVERIFY(tile);

        bool redEntry = false;
        QTimer::singleShot(0, &editor, [&redEntry] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu || menu->actions().isEmpty()) {
                return;
            }
            QAction* remove = menu->actions().first();
            redEntry = remove->text() == QStringLiteral("Remove Image") && isRed(remove->icon());
            menu->setActiveAction(remove);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        const QPoint at = tile->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, tile->mapToGlobal(at));
        QApplication::sendEvent(tile, &event);

        QCOMPARE(note->images(), QStringList{second});
        QVERIFY(tile); // still there for the rest of its own event
        Fixture::settle();
        QVERIFY(!tile);
        QCOMPARE(editor.findChildren<ImageTile*>().size(), 1);
        QVERIFY(redEntry);
    }

    // The button takes away the editor it sits in.
    void deleteForeverLooksDestructiveAndClosesTheEditor()
    {
        DashboardFixture f;
        NoteModel* note = f.add({.text = QStringLiteral("gone"), .deleted = true});
        auto view = f.makeView();
        clickSidebarRow(*view, QStringLiteral("Recently Deleted"));
        clickNoteRow(*view, note);
        QPointer<NoteEditor> editor = view->editor();
        QPushButton* forever = buttonNamed(editor, QStringLiteral("Delete Forever"));
        QVERIFY(isRed(forever->icon()));
        QCOMPARE(forever->palette().color(QPalette::ButtonText).red(), 200);

        QTest::mouseClick(forever, Qt::LeftButton);
        Fixture::settle();
        QVERIFY(!editor);
        QVERIFY(f.app->notes().isEmpty());
        QVERIFY(view->detailPlaceholder()->isVisible());
    }

    // Over a dark image the drop label is still dark text on a light plate.
    void dropLabelSitsOnItsOwnPlate()
    {
        DropOverlay overlay;
        overlay.resize(400, 300);
        QPixmap canvas(overlay.size());
        canvas.fill(Qt::black);
        overlay.render(&canvas, {}, {}, QWidget::DrawChildren);
        const QImage shot = canvas.toImage();
        // Just below the label's line, clear of its letters.
        QVERIFY(shot.pixelColor(200, 150 + 14).lightness() > 200);
        QVERIFY(shot.pixelColor(5, 5).lightness() < 60); // the pane itself stays see-through
    }

    void pinButtonToggles()
    {
        DashboardFixture f;
        NoteModel* note = f.add({.text = QStringLiteral("x")});
        NoteEditor editor(note, f.app.get(), {});
        editor.show();
        QToolButton* pin = nullptr;
        for (QToolButton* b : editor.findChildren<QToolButton*>()) {
            if (b->toolTip() == QStringLiteral("Pin")) {
                pin = b;
            }
        }
        QVERIFY(pin);
        QTest::mouseClick(pin, Qt::LeftButton);
        QVERIFY(note->pinned());
        QCOMPARE(pin->toolTip(), QStringLiteral("Unpin"));
    }
};

class WindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windowIsMadeOnceAndKeepsItsState()
    {
        DashboardFixture f;
        NoteModel* note = f.add({.text = QStringLiteral("milk")});
        f.app->showDashboard();
        auto* window = qobject_cast<DashWindow*>(f.app->dashboardWindow());
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("All Notes"));
        QCOMPARE(window->minimumSize(), QSize(760, 440));
        QCOMPARE(window->windowType(), Qt::Window); // a taskbar entry, unlike the panels
        DashboardView* view = window->view();
        clickSidebarRow(*view, QStringLiteral("Personal"));
        QTest::keyClicks(view->searchField(), QStringLiteral("mil"));
        clickNoteRow(*view, note);

        window->close();
        QVERIFY(!window->isVisible());
        QVERIFY(QSettings().contains(QStringLiteral("Dashboard")));
        f.app->toggleDashboard();
        QCOMPARE(f.app->dashboardWindow(), window);
        QVERIFY(window->isVisible());
        QCOMPARE(view->filter(), NoteFilter::folder(QStringLiteral("Personal")));
        QCOMPARE(view->search(), QStringLiteral("mil"));
        QCOMPARE(view->selected(), std::optional(note->id()));
    }

    void pasteShortcutTakesImagesOnlyForLiveNotes()
    {
        DashboardFixture f;
        const auto notes = f.add(
            {{.text = QStringLiteral("live")}, {.text = QStringLiteral("gone"), .deleted = true}});
        f.app->showDashboard();
        auto* window = qobject_cast<DashWindow*>(f.app->dashboardWindow());
        DashboardView* view = window->view();
        QImage image(10, 10, QImage::Format_RGB32);
        image.fill(Qt::blue);

        // Nothing selected: the key is not taken.
        f.desktop.copyImage(image);
        QTest::keyClick(view->listView(), Qt::Key_V, Qt::ControlModifier);
        QVERIFY(notes[0]->images().isEmpty());

        clickNoteRow(*view, notes[0]);
        QTest::keyClick(view->editor()->textEdit(), Qt::Key_V, Qt::ControlModifier);
        Fixture::finishImages();
        QCOMPARE(notes[0]->images().size(), 1);
        // Any other modifier combination is an ordinary key.
        QTest::keyClick(view->listView(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(notes[0]->images().size(), 1);

        f.desktop.copyText();
        QTest::keyClick(view->listView(), Qt::Key_V, Qt::ControlModifier);
        Fixture::finishImages();
        QCOMPARE(notes[0]->images().size(), 1);

        f.desktop.copyImage(image);
        clickSidebarRow(*view, QStringLiteral("Recently Deleted"));
        clickNoteRow(*view, notes[1]);
        QTest::keyClick(view->listView(), Qt::Key_V, Qt::ControlModifier);
        Fixture::finishImages();
        QVERIFY(notes[1]->images().isEmpty());
    }

    void detailShowsPlaceholderWithoutSelection()
    {
        DashboardFixture f;
        f.app->showDashboard();
        auto* window = qobject_cast<DashWindow*>(f.app->dashboardWindow());
        Placeholder* placeholder = window->view()->detailPlaceholder();
        QVERIFY(placeholder->isVisible());
        QCOMPARE(placeholder->title(), QStringLiteral("No Note Selected"));
        QCOMPARE(placeholder->description(),
                 QStringLiteral("Pick a note from the list, or start a new one."));
    }
};

static RegisterSuite<EditorTest> editorRegistration;
static RegisterSuite<WindowTest> windowRegistration;

#include "EditorTest.moc"
