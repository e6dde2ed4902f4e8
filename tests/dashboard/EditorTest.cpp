#include "Dashboard.h"
#include "dashboard/AddAnotherButton.h"
#include "dashboard/BarWidget.h"
#include "dashboard/DashListView.h"
#include "dashboard/DashWindow.h"
#include "dashboard/DropOverlay.h"
#include "dashboard/ImageTile.h"
#include "dashboard/NoteEditor.h"
#include "dashboard/Placeholder.h"
#include "dashboard/Sidebar.h"
#include "dashboard/SwatchButton.h"
#include "model/LongText.h"
#include "support/ImageBytes.h"

#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>

// Sends a complete drag of a picture onto the middle of `target`; returns whether the drop
// was accepted.
static bool dropPictureOn(QWidget* target)
{
    QMimeData mime;
    mime.setImageData(flatImage(QSize(8, 8), Qt::red));
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// Visible children of `parent` that stick out of it or overlap a sibling.
static QStringList layoutFaults(const QWidget* parent)
{
    QList<const QWidget*> shown;
    for (const QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible() && !child->isWindow() && child->width() > 0 && child->height() > 0)
            shown << child;
    const auto name = [](const QWidget* w) {
        return w->accessibleName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                             : w->accessibleName();
    };
    QStringList faults;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (!parent->rect().contains(shown[i]->geometry()))
            faults << name(shown[i]) + " is clipped";
        for (qsizetype j = i + 1; j < shown.size(); ++j)
            if (shown[i]->geometry().intersects(shown[j]->geometry()))
                faults << name(shown[i]) + " overlaps " + name(shown[j]);
    }
    return faults;
}

// Layout faults of the editor's regions and of its toolbar, plus the main action's label.
static QStringList editorFaults(const NoteEditor* editor)
{
    QStringList faults = layoutFaults(editor);
    for (const BarWidget* bar : editor->findChildren<BarWidget*>())
        if (bar->isVisible())
            faults << layoutFaults(bar);
    const auto* main = editor->findChild<QPushButton*>("mainAction");
    if (!main || main->text().isEmpty() ||
        main->width() < QFontMetrics(main->font()).horizontalAdvance(main->text())) {
        faults << "the main action has lost its label";
    }
    for (const QToolButton* button : editor->findChildren<QToolButton*>())
        if (button->accessibleDescription() == "Folder" && button->text().size() < 2)
            faults << "the folder name is gone";
    return faults;
}

static bool isRed(const QIcon& icon)
{
    const QImage image = icon.pixmap(16, 16).toImage();
    for (int i = 0; i < 256; ++i) {
        const QColor c = image.pixelColor(i % 16, i / 16);
        if (c.alpha() > 160 && c.red() > 150 && c.green() < 90 && c.blue() < 90)
            return true;
    }
    return false;
}

class EditorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Colour, pin and main action show the note's state and change it; typing writes the note,
    // and edits made elsewhere reach the editor. Grown too long while open, or opened so, the
    // note is shown in part until it shrinks.
    void theEditorShowsAndChangesItsNote()
    {
        DashboardFixture f;
        NoteModel* note = f.add({.text = "Hello", .age = 3600, .color = "blue", .onScreen = true});
        NoteEditor editor(note, f.app.get(), {});
        editor.show();
        const auto currentColours = [&] {
            QStringList current;
            for (const SwatchButton* swatch : editor.swatches())
                if (swatch->isChecked()) // as a screen reader hears it
                    current << swatch->colorName();
            return current;
        };
        QCOMPARE(currentColours(), QStringList{"blue"});
        QTest::mouseClick(editor.swatches()[1], Qt::LeftButton);
        QCOMPARE(note->color(), "pink");
        QCOMPARE(currentColours(), QStringList{"pink"});
        note->setColor("mauve"); // not one of ours: no swatch is current
        QVERIFY(currentColours().isEmpty());

        // The main action names what it will do.
        note->setOnScreen(false);
        QVERIFY(buttonNamed(&editor, "Stick on Screen"));
        QVERIFY(!buttonNamed(&editor, "Tuck into Notch"));

        QToolButton* pin = nullptr;
        for (QToolButton* button : editor.findChildren<QToolButton*>())
            pin = button->toolTip() == "Pin" ? button : pin;
        QVERIFY(pin);
        QTest::mouseClick(pin, Qt::LeftButton);
        QVERIFY(note->pinned());
        QCOMPARE(pin->toolTip(), "Unpin");

        QPlainTextEdit* text = editor.textEdit();
        text->moveCursor(QTextCursor::End);
        f.today = f.today.addSecs(5);
        QTest::keyClicks(text, " world");
        QCOMPARE(note->text(), "Hello world");
        QCOMPARE(note->modified(), f.today);
        QTextCursor cursor = text->textCursor();
        cursor.setPosition(5);
        text->setTextCursor(cursor);
        note->setText("Hello world, again");
        QCOMPARE(text->toPlainText(), "Hello world, again");
        QCOMPARE(text->textCursor().position(), 5);
        // A no-break space survives the round trip through the editor.
        note->setText("a\u00a0b");
        text->moveCursor(QTextCursor::End);
        QTest::keyClicks(text, "c");
        QCOMPARE(note->text(), "a\u00a0bc");

        const QString huge = QString(longtext::editLimit, u'y') + "\nend";
        note->setText(huge);
        NoteEditor opened(note, f.app.get(), {});
        for (const QPlainTextEdit* text : {editor.textEdit(), opened.textEdit()}) {
            QVERIFY(text->isReadOnly() && text->toPlainText().startsWith("Too long to edit here"));
            QVERIFY(!text->toPlainText().contains("end"));
        }
        QCOMPARE(note->text(), huge); // showing it in part changed nothing

        note->setText("small");
        QVERIFY(!editor.textEdit()->isReadOnly() && !opened.textEdit()->isReadOnly());
        editor.textEdit()->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor.textEdit(), "er");
        QCOMPARE(note->text(), "smaller");
    }

    void controlsStayWholeAtEveryWindowSize()
    {
        const struct {
            const char* name;
            QSize size;
            bool deleted, alone; // alone: the editor by itself, the pane at its narrowest
        } cases[] = {{"smallest", {760, 440}, false, false},
                     {"usual", {1000, 640}, false, false},
                     {"smallest, deleted", {760, 440}, true, false},
                     {"wide", {1400, 800}, false, false},
                     {"narrowest pane", {300, 400}, false, true}};
        for (const auto& [name, size, deleted, alone] : cases) {
            DashboardFixture f;
            const QString folder = "Household paperwork and receipts";
            f.app->addFolder(folder);
            NoteModel* note = f.add({.text = "Lisbon\ntram 28",
                                     .folder = folder,
                                     .onScreen = alone,
                                     .deleted = deleted});
            note->setImages({f.saveImage(QSize(800, 500)), f.saveImage(QSize(300, 600))});
            std::unique_ptr<NoteEditor> pane(alone ? new NoteEditor(note, f.app.get(), {})
                                                   : nullptr);
            if (!alone)
                f.app->showDashboard();
            QWidget* window = alone ? pane.get() : f.app->dashboardWindow();
            window->resize(size);
            window->show();
            DashboardView* view = window->findChild<DashboardView*>();
            if (deleted)
                clickSidebarRow(*view, "Recently Deleted");
            if (view)
                clickNoteRow(*view, note);
            Fixture::settle();
            // By itself the editor keeps to its own minimum; the window takes any size it allows.
            QVERIFY2(alone || window->size() == size, name);
            const NoteEditor* editor = alone ? pane.get() : view->editor();
            QVERIFY2(editor && editor->isVisible(), name);
            const QStringList faults = editorFaults(editor);
            QVERIFY2(faults.isEmpty(), qPrintable(name + (": " + faults.join("; "))));
            QVERIFY2(!alone || showsButton(editor, "Tuck into Notch"), name);
        }
    }

    // A dropped picture shows as a tile, followed by the button for more. The tile's menu
    // removes the image while the tile is still handling the menu: the tile must outlive that
    // handler. Destructive entries are marked red.
    void picturesAreDroppedOnTheEditorAndRemovedFromTheirTiles()
    {
        DashboardFixture f;
        NoteModel* note = f.add({.text = "pictures"});
        const QString second = f.saveImage(QSize(40, 30));
        // The first picture's file is not there: its grey tile can still be removed.
        note->setImages({"0A5E3C1D-2F01-4C55-9B0B-6F1C0D8E3E1A.png", second});
        NoteEditor editor(note, f.app.get(), {});
        editor.resize(600, 500);
        editor.show();
        QVERIFY(dropPictureOn(editor.textEdit()->viewport()));
        Fixture::finishImages(); // read on the worker, then the tiles are built again
        QVERIFY(!editor.isDropping());
        QTRY_COMPARE(note->images().size(), 3);
        QTRY_COMPARE(editor.findChildren<ImageTile*>().size(), 3);
        QVERIFY(editor.findChild<AddAnotherButton*>());
        QPointer<ImageTile> tile = editor.findChildren<ImageTile*>().value(0);
        QVERIFY(tile && tile->isEnabled());
        QCOMPARE(tile->accessibleName(), "Image 1 of 3");

        bool redEntry = false;
        QTimer::singleShot(0, &editor, [&redEntry] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu || menu->actions().isEmpty())
                return;
            QAction* remove = menu->actions().first();
            redEntry = remove->text() == "Remove Image" && isRed(remove->icon());
            menu->setActiveAction(remove);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        const QPoint at = tile->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, tile->mapToGlobal(at));
        QApplication::sendEvent(tile, &event);

        QCOMPARE(note->images().size(), 2);
        QCOMPARE(note->images().first(), second);
        QVERIFY(tile); // still there for the rest of its own event
        Fixture::settle();
        QVERIFY(!tile);
        QCOMPARE(editor.findChildren<ImageTile*>().size(), 2);
        QVERIFY(redEntry);
    }

    // Trash clears the selection and Restore keeps it; Delete Forever looks destructive and
    // takes away the editor it sits in.
    void trashRestoreAndDeleteForeverFromTheEditor()
    {
        DashboardFixture f;
        const auto notes = f.add(
            {{.text = "keep"}, {.text = "toss", .age = 10}, {.text = "gone", .deleted = true}});
        auto view = f.makeView();
        clickNoteRow(*view, notes[1]);
        QCOMPARE(f.app->dashboardSelection(), notes[1]);
        auto* trash = view->editor()->findChild<QToolButton*>("trash");
        QVERIFY(trash);
        QTest::mouseClick(trash, Qt::LeftButton);
        Fixture::settle();
        QVERIFY(notes[1]->deletedAt());
        QCOMPARE(view->selected(), std::nullopt);
        QVERIFY(f.app->dashboardSelection() == nullptr && !view->editor());
        QVERIFY(view->detailPlaceholder()->isVisible());
        QCOMPARE(view->visible(), QList<NoteModel*>{notes[0]});

        clickSidebarRow(*view, "Recently Deleted");
        clickNoteRow(*view, notes[1]);
        NoteEditor* editor = view->editor();
        QVERIFY(editor && editor->note() == notes[1]);
        // Deleted: the restore bar instead of the main action, read-only, and no drops.
        QVERIFY(showsButton(editor, "Restore") && showsButton(editor, "Delete Forever"));
        QVERIFY(!showsButton(editor, "Stick on Screen") && editor->textEdit()->isReadOnly());
        QVERIFY(!dropPictureOn(editor));
        Fixture::finishImages();
        QVERIFY(notes[1]->images().isEmpty() && !editor->isDropping());
        QTest::mouseClick(buttonNamed(editor, "Restore"), Qt::LeftButton);
        Fixture::settle();
        QVERIFY(!notes[1]->deletedAt());
        QCOMPARE(view->selected(), std::optional(notes[1]->id()));
        QCOMPARE(view->editor(), editor);
        QVERIFY(!showsButton(editor, "Restore") && !showsButton(editor, "Delete Forever"));
        QVERIFY(!editor->textEdit()->isReadOnly());

        clickNoteRow(*view, notes[2]);
        const QPointer<NoteEditor> gone = view->editor();
        QPushButton* forever = buttonNamed(gone, "Delete Forever");
        QVERIFY(isRed(forever->icon()));
        QTest::mouseClick(forever, Qt::LeftButton);
        Fixture::settle();
        QVERIFY(!gone);
        QCOMPARE(f.app->notes(), (QList<NoteModel*>{notes[0], notes[1]}));
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
};

class WindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Ctrl+V adds the clipboard's image to the live note selected, and the window, made once,
    // keeps its filter, search and selection when closed and opened again.
    void windowIsMadeOnceKeepsItsStateAndTakesPastedImages()
    {
        DashboardFixture f;
        const auto notes = f.add({{.text = "milk"}, {.text = "gone", .deleted = true}});
        f.app->showDashboard();
        auto* window = qobject_cast<DashWindow*>(f.app->dashboardWindow());
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowType(), Qt::Window); // a taskbar entry, unlike the panels
        DashboardView* view = window->view();
        QVERIFY(view->detailPlaceholder()->isVisible());
        const QImage image = flatImage(QSize(10, 10), Qt::blue);
        const auto paste = [&](QWidget* target, Qt::KeyboardModifiers modifiers) {
            QTest::keyClick(target, Qt::Key_V, modifiers);
            Fixture::finishImages();
        };

        // Nothing selected: the key is not taken.
        f.desktop.copyImage(image);
        paste(view->listView(), Qt::ControlModifier);
        QVERIFY(notes[0]->images().isEmpty());
        clickNoteRow(*view, notes[0]);
        paste(view->editor()->textEdit(), Qt::ControlModifier);
        QCOMPARE(notes[0]->images().size(), 1);
        // Any other modifier combination is an ordinary key.
        paste(view->listView(), Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(notes[0]->images().size(), 1);
        f.desktop.copyText();
        paste(view->listView(), Qt::ControlModifier);
        QCOMPARE(notes[0]->images().size(), 1);
        f.desktop.copyImage(image);
        clickSidebarRow(*view, "Recently Deleted");
        clickNoteRow(*view, notes[1]);
        paste(view->listView(), Qt::ControlModifier);
        QVERIFY(notes[1]->images().isEmpty());

        clickSidebarRow(*view, "Personal");
        QTest::keyClicks(view->searchField(), "mil");
        clickNoteRow(*view, notes[0]);
        window->close();
        QVERIFY(!window->isVisible());
        f.app->toggleDashboard();
        QCOMPARE(f.app->dashboardWindow(), window);
        QVERIFY(window->isVisible());
        QCOMPARE(view->filter(), NoteFilter::folder("Personal"));
        QCOMPARE(view->search(), "mil");
        QCOMPARE(view->selected(), std::optional(notes[0]->id()));

        // The keyboard alone: the only row the cursor rests on is selected by a move, Escape
        // empties the search, and Return presses the focused button.
        window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), window);
        view->listView()->selectionModel()->clear();
        view->listView()->setFocus();
        QTest::keyClick(view->listView(), Qt::Key_Down);
        QCOMPARE(view->selected(), std::optional(notes[0]->id()));
        QTest::keyClick(view->listView(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(view->searchField()->hasFocus());
        QTest::keyClick(view->searchField(), Qt::Key_Escape);
        QCOMPARE(view->search(), QString());
        QPushButton* stick = buttonNamed(view, "Stick on Screen");
        QVERIFY(stick);
        stick->setFocus();
        QTest::keyClick(stick, Qt::Key_Return);
        QVERIFY(stick->isDown()); // pressed, as Space presses it
    }
};

static RegisterSuite<EditorTest> editorRegistration;
static RegisterSuite<WindowTest> windowRegistration;

#include "EditorTest.moc"
