#include "controller/ClipboardOffer.h"
#include "controller/Gestures.h"
#include "model/Images.h"
#include "model/NoteModel.h"
#include "model/NotesWriter.h"
#include "motion/Motion.h"
#include "pad/PadMenu.h"
#include "pad/PadText.h"
#include "pad/PadView.h"
#include "pad/PeekCard.h"
#include "platform/AppId.h"
#include "support/Fixture.h"
#include "support/ImageBytes.h"
#include "support/Suites.h"
#include "windows/Panel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cmath>
#include <memory>

namespace {

constexpr int notchH = 24; // FakeDesktop's status bar

// The shared fixture with the pad window at the notch. The pointer of the fake desktop and the
// events sent to the view are kept in step, because the controller reads the pointer itself.
struct Pad : Fixture {
    std::unique_ptr<Panel> window;
    PadView* view = nullptr;

    Pad()
    {
        launch();
        const double h = notchH + 250;
        window = std::make_unique<Panel>(QRectF(720 - 170, 900 - h, 340, h), Panel::Level::Pad);
        view = new PadView(app.get());
        window->setContent(view);
        window->show();
    }

    NoteModel* tuck(const QString& text, int minutesAgo = 0)
    {
        NoteModel* note = app->newNote(std::nullopt, "yellow");
        note->setText(text);
        note->setModified(today.addSecs(-60 * minutesAgo));
        return note;
    }

    void settle() { motion::FrameClock::instance().advance(2.0); }

    void open()
    {
        motion::withAnimation(motion::Animation::spring(0.35, 0.85, 0),
                              [this] { app->setRevealed(true); });
        settle();
    }

    // Moves the pointer to a point of the view (y down from the screen's top edge).
    void pointTo(QPoint pos, Qt::MouseButtons held = Qt::NoButton)
    {
        desktop.mouse = QPointF(550 + pos.x(), 900 - pos.y());
        QMouseEvent move(QEvent::MouseMove, pos, view->mapToGlobal(pos), Qt::NoButton, held,
                         Qt::NoModifier);
        QApplication::sendEvent(view, &move);
    }

    void hoverIsland()
    {
        pointTo(QPoint(170, 12));
        settle();
    }

    QAbstractButton* control(const QString& name) const
    {
        for (QAbstractButton* b : view->findChildren<QAbstractButton*>())
            if (b->accessibleName() == name && b->isVisible())
                return b;
        return nullptr;
    }

    // The view as painted over a transparent background.
    QImage grab() const
    {
        QImage image(view->size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        view->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }
};

// The bounding box of everything painted.
QRect paintedBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

// How far in from the bottom-left corner, along the diagonal, the island's edge lies. A corner
// of radius r crosses the diagonal about 0.29 r from the corner.
int cornerInset(const QImage& image, const QRect& box)
{
    for (int k = 0; k < box.height(); ++k)
        if (qAlpha(image.pixel(box.left() + k, box.bottom() - k)) > 128)
            return k;
    return -1;
}

void expectIsland(const Pad& pad, QSize size, double radius)
{
    const QImage image = pad.grab();
    const QRect box = paintedBox(image);
    QCOMPARE(box.size(), size);
    QCOMPARE(box.top(), 0);                         // hanging from the screen's top edge...
    QCOMPARE(box.left(), (340 - size.width()) / 2); // ...centred on the notch
    QCOMPARE(image.pixel(box.left() + size.width() / 4, 2), qRgb(0, 0, 0)); // black
    QVERIFY2(std::abs(cornerInset(image, box) - (1 - M_SQRT1_2) * radius) <= 1.5,
             qPrintable(QString::number(cornerInset(image, box))));
}

} // namespace

class PadTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setFont(QFont("DejaVu Sans"));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    // The island grows under the pointer to fit what it has to show and swings when a note is
    // tucked.
    void islandFollowsThePointerAndItsContent()
    {
        Pad pad;
        pad.open();
        expectIsland(pad, QSize(150, notchH + 10), 10);
        const QRect rest = paintedBox(pad.grab());
        pad.app->wobblePad();
        motion::FrameClock::instance().advance(0.09);
        const QImage swung = pad.grab();
        // Turned clockwise about its top centre: the right end of the top edge has come down.
        QVERIFY(qAlpha(swung.pixel(rest.right() - 1, 0)) < 128);
        QCOMPARE(qAlpha(swung.pixel(rest.center().x(), 0)), 255);
        pad.settle();
        QCOMPARE(paintedBox(pad.grab()), rest);

        // The open pad takes the pointer only where it draws: a note landed under the rest of
        // its window is reached.
        const auto takesPointerOver = [&pad] {
            QCoreApplication::processEvents();
            return pad.window->inputRegion().value_or(QRegion()).boundingRect();
        };
        QCOMPARE(takesPointerOver(), rest);
        pad.pointTo(QPoint(170, 200)); // inside the window, below the island
        pad.settle();
        QVERIFY(!pad.view->isHovered());
        pad.hoverIsland();
        QVERIFY(pad.view->isHovered());
        expectIsland(pad, QSize(262, notchH + 48), 22);
        QCOMPARE(takesPointerOver(), paintedBox(pad.grab()));

        pad.desktop.copyImage(flatImage(QSize(64, 48)));
        pad.app->clipOffer().refresh();
        Fixture::finishImages();
        pad.settle();
        expectIsland(pad, QSize(300, notchH + 48 + 62), 22);
        for (int i = 0; i < 4; ++i)
            pad.tuck(QStringLiteral("Note %1").arg(i));
        pad.settle();
        QVERIFY(pad.control("Paste screenshot as note") && pad.control("All Notes"));

        // A note dragged over the notch: header only, whatever else there is to offer.
        pad.app->setPadHot(true);
        pad.settle();
        expectIsland(pad, QSize(262, notchH + 48), 22);
        for (const char* name : {"All Notes", "Paste screenshot as note", "Note 0"})
            QVERIFY2(!pad.control(name), name);

        // The offer makes one note; a press that arrives after it was withdrawn does nothing.
        pad.app->setPadHot(false);
        pad.hoverIsland();
        const qsizetype before = pad.app->notes().size();
        QAbstractButton* offer = pad.control("Paste screenshot as note");
        QVERIFY(offer);
        QTest::mouseClick(offer, Qt::LeftButton, {}, QPoint(20, 20));
        Fixture::finishImages();
        QCOMPARE(pad.app->clipOffer().used(), pad.desktop.changeCount);
        QVERIFY(pad.app->clipOffer().image().isNull());
        QCOMPARE(pad.app->notes().size(), before + 1);
        QCOMPARE(pad.app->notes().last()->images().size(), 1);
        QVERIFY(!pad.control("Paste screenshot as note"));
        offer->click();
        QCOMPARE(pad.app->notes().size(), before + 1);
    }

    // The title counts the tucked notes and names the hovered one. Moving straight from card to
    // card keeps the next one hovered, whichever of the exit and the entry comes first.
    void titleCountsTuckedNotesAndNamesTheHoveredOne()
    {
        Pad pad;
        pad.open();
        pad.hoverIsland();
        QCOMPARE(pad.view->titleText(), "New Note");
        QCOMPARE(pad.view->hint().text, "Pull down or click");
        NoteModel* groceries = pad.tuck("Groceries\nmilk", 1);
        QCOMPARE(pad.view->titleText(), "1 Note");
        NoteModel* plans = pad.tuck("Plans", 2);
        QCOMPARE(pad.view->titleText(), "2 Notes");
        pad.tuck("On screen")->setOnScreen(true);
        QCOMPARE(pad.view->titleText(), "2 Notes");

        pad.settle();
        QAbstractButton* cardA = pad.control("Groceries");
        QAbstractButton* cardB = pad.control("Plans");
        QVERIFY(cardA && cardB);
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(cardA, &enter);
        QCOMPARE(pad.view->titleText(), groceries->title());
        QCOMPARE(pad.view->hint().text, "Click to open on screen");
        QApplication::sendEvent(cardA, &leave); // the exit first
        QApplication::sendEvent(cardB, &enter);
        QVERIFY(pad.view->hoveredNote() == plans->id());
        QCOMPARE(pad.view->titleText(), "Plans");
        QApplication::sendEvent(cardA, &enter); // the entry first
        QApplication::sendEvent(cardB, &leave);
        QVERIFY(pad.view->hoveredNote() == groceries->id());

        pad.app->setSavedFlash(true);
        QCOMPARE(pad.view->hint().text, "Saved");
        // While saving fails, that is what the line says, over everything but a tuck.
        NotesWriter& writer = pad.app->writer();
        Q_EMIT writer.stateChanged(NotesWriter::State::Failed, "No space left on device");
        QCOMPARE(pad.view->hint().text, "Not saved");
        QCOMPARE(pad.view->hint().color, pad::warning());
        pad.app->setPadHot(true);
        QCOMPARE(pad.view->hint().text, "Release to tuck away");
        QVERIFY(pad.view->hint().color != pad::warning());
        pad.app->setPadHot(false);
        Q_EMIT writer.stateChanged(NotesWriter::State::Saved, QString());
        QCOMPARE(pad.view->hint().text, "Saved");
        QApplication::sendEvent(cardA, &leave);
        QVERIFY(!pad.view->hoveredNote());
    }

    // A tap on a card drops that note, a drag on the header pulls the top note out, and the plus
    // makes a new note: a press on a button is no pull.
    void tappingACardDropsThatNotePullingTakesTheTopOne()
    {
        Pad pad;
        NoteModel* top = pad.tuck("Newest", 1);
        pad.tuck("Below", 5);
        NoteModel* older = pad.tuck("Older", 30);
        pad.open();
        pad.hoverIsland();
        QAbstractButton* card = pad.control("Older");
        QVERIFY(card);
        QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(40, 40));
        QVERIFY(older->onScreen() && pad.app->window(older));
        QVERIFY(!pad.view->isHovered() && !pad.view->hoveredNote());
        pad.settle();
        QCOMPARE(pad.app->peekNotes().size(), 2); // that note alone left the pad

        pad.hoverIsland();
        QAbstractButton* plus = pad.control("New Note");
        QVERIFY(plus);
        QCOMPARE(plus->toolTip(), "New Note");
        QTest::mouseClick(plus, Qt::LeftButton);
        QVERIFY(!pad.app->gestures().pulling());
        QCOMPARE(pad.app->notes().size(), 4);
        NoteModel* made = pad.app->notes().last();
        QVERIFY(made->onScreen() && made->color() == "yellow" && !top->onScreen());

        pad.hoverIsland();
        const QPoint press(120, notchH + 20); // the title area: not a button, not a card
        pad.pointTo(press);
        QTest::mousePress(pad.view, Qt::LeftButton, {}, press);
        QCOMPARE(pad.app->gestures().pulling(), top);
        for (int dy = 20; dy <= 120; dy += 20)
            pad.pointTo(press + QPoint(0, dy), Qt::LeftButton);
        QCOMPARE(top->peel(), 0.0);
        QTest::mouseRelease(pad.view, Qt::LeftButton, {}, press + QPoint(0, 120));
        QVERIFY(!pad.app->gestures().pulling());
    }

    // A card whose image file was missing shows the image once the file is back.
    void cardShowsAnImageThatComesBack()
    {
        const Fixture f;
        QByteArray bytes;
        const QString name = storedThenMissing(flatImage(QSize(60, 40), Qt::red), bytes);
        QVERIFY(!bytes.isEmpty());
        QFile file(Images::url(name));
        NoteData record;
        record.images = QStringList{name};
        const NoteModel note(record, nullptr);
        const auto stripIsRed = [&note] {
            QImage canvas(int(PeekCard::width), int(PeekCard::height),
                          QImage::Format_ARGB32_Premultiplied);
            canvas.fill(Qt::transparent);
            QPainter p(&canvas);
            PeekCard(&note, 0, 0).paint(p, QRectF(0, 0, PeekCard::width, PeekCard::height), 96);
            p.end();
            const QColor c = canvas.pixelColor(int(PeekCard::width / 2), 20);
            return c.red() > 200 && c.green() < 80 && c.blue() < 80;
        };
        QVERIFY(!stripIsRed());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        QTRY_VERIFY(stripIsRed()); // read and filled on the worker
    }

    // Text, links and files dragged from another program onto the island become tucked notes;
    // a drop beside the island or of nothing makes none.
    void dropsOnTheIslandBecomeTuckedNotes()
    {
        Pad pad;
        pad.open();
        pad.hoverIsland();
        const QString md = pad.dir.filePath("Shopping.md"),
                      png = pad.writeFile("Cat.png", {40, 30});
        QFile file(md);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("Shopping\n- milk") > 0);
        file.close();
        const auto urls = [](const QStringList& list) {
            auto* data = new QMimeData;
            QList<QUrl> out;
            for (const QString& url : list)
                out << (url.startsWith('/') ? QUrl::fromLocalFile(url) : QUrl(url));
            data->setUrls(out);
            return data;
        };
        const auto text = [](const QString& t) {
            auto* data = new QMimeData;
            data->setText(t);
            return data;
        };
        const struct {
            QMimeData* data;
            QPoint at;
            QStringList made;
        } cases[] = {
            {text("call Anna"), {170, 40}, {"call Anna"}},
            {text("beside"), {4, 260}, {}},
            {text("  "), {170, 40}, {}},
            {urls({md, "https://example.org/a"}),
             {170, 40},
             {"Shopping\n- milk", "https://example.org/a"}},
            {urls({png}), {170, 40}, {"Cat\n"}},
        };
        for (const auto& c : cases) {
            const std::unique_ptr<QMimeData> data(c.data);
            const qsizetype before = pad.app->notes().size();
            QDragEnterEvent enter(c.at, Qt::CopyAction, data.get(), Qt::LeftButton, {});
            QApplication::sendEvent(pad.view, &enter);
            QDropEvent drop(c.at, Qt::CopyAction, data.get(), Qt::LeftButton, {});
            if (enter.isAccepted())
                QApplication::sendEvent(pad.view, &drop);
            QTRY_COMPARE(pad.app->notes().size(), before + c.made.size());
            QCOMPARE(drop.isAccepted(), !c.made.isEmpty());
            for (qsizetype i = 0; i < c.made.size(); ++i) {
                const NoteModel* note = pad.app->notes().at(before + i);
                QCOMPARE(note->text(), c.made[i]);
                QVERIFY(!note->onScreen() && pad.app->savedFlash());
                QCOMPARE(note->images().size(), c.made[i] == "Cat\n" ? 1 : 0);
            }
        }
    }

    void contextMenuHoldsTheApplicationCommands()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        Pad pad;
        QMenu menu;
        fillPadMenu(menu, pad.app.get());
        // Only a checkable item's trigger reaches the login entry.
        menu.actions().at(3)->trigger();
        QVERIFY(QFile::exists(
            config.filePath(QStringLiteral("autostart/" QUILLHAVEN_APP_ID ".desktop"))));

        QMenu again;
        fillPadMenu(again, pad.app.get());
        QVERIFY(again.actions().at(3)->isChecked());
        qunsetenv("XDG_CONFIG_HOME");
    }
};

static RegisterSuite<PadTest> registered;
#include "PadTest.moc"
