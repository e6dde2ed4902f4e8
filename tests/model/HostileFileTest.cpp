#include "Suites.h"
#include "app/WidgetViews.h"
#include "controller/AppController.h"
#include "model/Images.h"
#include "model/NoteModel.h"
#include "model/NotesWriter.h"
#include "model/Store.h"
#include "motion/Motion.h"
#include "pad/PadView.h"
#include "support/Fixture.h"
#include "support/ImageBytes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QImage>
#include <QJsonDocument>
#include <QSettings>
#include <QTemporaryDir>

// Notes files written by something else: broken, gigantic, deeply nested, with repeated ids or
// image names that point elsewhere. Nothing may crash, and no note or file may be lost.
namespace {

const QByteArray idA = "6F1C2B3A-0D4E-4F5A-8B6C-7D8E9FA0B1C2";

QByteArray record(const QByteArray& id, const QByteArray& text, const QByteArray& extra = {})
{
    return "{\"id\":\"" + id + "\",\"text\":\"" + text +
           "\",\"folded\":false,\"onScreen\":false,\"x\":100,\"y\":300" + extra + "}";
}

QByteArray fileOf(const QList<QByteArray>& records)
{
    QByteArray file = "[";
    for (const QByteArray& r : records) {
        file += (file.size() > 1 ? "," : "") + r;
    }
    return file + "]";
}

} // namespace

class HostileFileTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> f;
    QString path;

    AppController& startWith(const QByteArray& file)
    {
        writeFile(path, file);
        return f->startUp();
    }

    // The one file set aside as unreadable next to notes.json, or an empty string.
    QString asideFile() const
    {
        const QStringList found =
            QDir(f->dir.path()).entryList({"notes.json.unreadable-*"}, QDir::Files);
        return found.size() == 1 ? f->dir.filePath(found[0]) : QString();
    }

    QList<NoteData> savedRecords() const
    {
        if (f->app) {
            f->app->writer().drain();
        }
        return Store::decode(readFile(path)).value_or(QList<NoteData>{});
    }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<Fixture>(utc(2026, 3, 1, 12));
        path = f->notesPath();
    }

    void cleanup() { f.reset(); }

    void unreadableFilesAreKeptAsideUntouched_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("recovered"); // whole records that still read on their own
        const QByteArray good = record(idA, "kept");
        QTest::newRow("100,000 open brackets") << QByteArray(100000, '[') << 0;
        QTest::newRow("100,000 nested arrays")
            << QByteArray(100000, '[') + QByteArray(100000, ']') << 0;
        QByteArray objects;
        for (int i = 0; i < 100000; ++i) {
            objects += "{\"a\":";
        }
        QTest::newRow("100,000 nested objects") << "[" + objects << 0;
        QTest::newRow("deep inside a good record")
            << fileOf({record(idA, "x",
                              ",\"extra\":" + QByteArray(5000, '[') + QByteArray(5000, ']'))})
            << 0;
        QTest::newRow("an object") << "{\"notes\":[]}" + QByteArray() << 0;
        QTest::newRow("a string") << QByteArray("\"[]\"") << 0;
        QTest::newRow("a record as an array") << fileOf({"[" + good + "]"}) << 0;
        QTest::newRow("images as a string")
            << fileOf({record(idA, "t", ",\"images\":\"a.png\"")}) << 0;
        QTest::newRow("bytes that are no UTF-8") << fileOf({record(idA, "\xff\xfe\xc0\xaf")}) << 0;
        QTest::newRow("a NUL in the middle") << fileOf({good}).insert(10, '\0') << 0;
        QTest::newRow("cut short") << fileOf({good, good}).chopped(7) << 1;
        QTest::newRow("two arrays") << fileOf({good}) + fileOf({good}) << 1;
    }

    void unreadableFilesAreKeptAsideUntouched()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, recovered);
        writeFile(path, bytes);
        Store::Damage damage;
        QCOMPARE(Store::load(&damage).size(), recovered);
        QCOMPARE(damage.recovered, recovered);
        QCOMPARE(damage.keptAs, asideFile());
        QVERIFY(!QFile::exists(path));
        QCOMPARE(readFile(asideFile()), bytes);
    }

    void jsonNestingIsCappedByTheParser()
    {
        // Why the deep files above cannot overflow the stack: the parser gives up first.
        QJsonParseError error{};
        QJsonDocument::fromJson(QByteArray(2000, '[') + QByteArray(2000, ']'), &error);
        QCOMPARE(error.error, QJsonParseError::DeepNesting);
    }

    void invisibleAndBrokenCharactersSurviveInTitles()
    {
        NoteData data;
        data.text = QStringLiteral("\n\uFEFF\n \uFEFFsecond ");
        const NoteModel bom(data, nullptr);
        QCOMPARE(bom.title(), QStringLiteral("\uFEFF"));
        QCOMPARE(bom.preview(), QStringLiteral("\uFEFFsecond"));
        data.text = QString(QChar(0xD800)) + QStringLiteral(" #a") + QChar(0xDC00);
        const NoteModel lone(data, nullptr);
        QCOMPARE(lone.title(), data.text);
        QCOMPARE(lone.tags(), QStringList{QStringLiteral("#a") + QChar(0xDC00)});
    }

    void aFiftyMegabyteNoteLoadsAndSavesWhole()
    {
        const qsizetype size = 50 * 1024 * 1024;
        QByteArray text(size, 'w');
        for (qsizetype i = 0; i < size; i += 4096) {
            text[i] = ' ';
        }
        writeFile(path, fileOf({record(idA, text)}));
        text.clear();
        QElapsedTimer timer;
        timer.start();
        QList<NoteModel*> notes = makeNotes(Store::load());
        const qint64 loadMs = timer.restart();
        QCOMPARE(notes.size(), 1);
        QCOMPARE(notes[0]->text().size(), size);
        QCOMPARE(notes[0]->title().size(), size - 1);
        const qint64 titleMs = timer.restart();
        QVERIFY(Store::save(notes));
        const qint64 saveMs = timer.restart();
        QCOMPARE(savedRecords().value(0).text, notes[0]->text());
        qInfo("50 MB note: load %lld ms, title %lld ms, save %lld ms, reload %lld ms", loadMs,
              titleMs, saveMs, timer.elapsed());
        qDeleteAll(notes);
    }

    void aHundredThousandNotesLoad()
    {
        QByteArray file = "[";
        file.reserve(12000000);
        for (int i = 0; i < 100000; ++i) {
            const QByteArray id =
                QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toLatin1();
            file += (i > 0 ? "," : "") + record(id, "note " + QByteArray::number(i));
        }
        file += "]";
        writeFile(path, file);
        QElapsedTimer timer;
        timer.start();
        QList<NoteModel*> notes = makeNotes(Store::load());
        const qint64 loadMs = timer.restart();
        QCOMPARE(notes.size(), 100000);
        QCOMPARE(notes.last()->text(), "note 99999");
        QVERIFY(Store::save(notes));
        qInfo("100,000 notes: load %lld ms, save %lld ms", loadMs, timer.elapsed());
        qDeleteAll(notes);
    }

    void notesSharingAnIdStayApartAndKeepTheirImages()
    {
        const QByteArray shared = ",\"images\":[\"SHARED.png\"]";
        writeFile(f->dir.filePath("images/SHARED.png"), pngBytes(QSize(40, 30)));
        startWith(fileOf({record(idA, "first", shared), record(idA, "second", shared)}));
        QCOMPARE(f->app->notes().size(), 2);
        NoteModel* first = f->app->notes()[0];
        NoteModel* second = f->app->notes()[1];
        QCOMPARE(first->id().toString(QUuid::WithoutBraces).toUpper(), QString::fromLatin1(idA));
        QVERIFY(second->id() != first->id()); // the copy gets an identity of its own

        f->app->trash(second);
        QVERIFY(!first->deletedAt() && second->deletedAt());
        QCOMPARE(savedRecords().size(), 2);
        QVERIFY(!savedRecords()[0].deletedAt && savedRecords()[1].deletedAt);

        f->app->deleteForever(second);
        QCOMPARE(f->app->notes(), QList<NoteModel*>{first});
        QCOMPARE(savedRecords().value(0).text, "first");
        // The other note still shows the picture, so its file stays.
        QVERIFY(QFile::exists(Images::url("SHARED.png")));
        QVERIFY(!Images::load("SHARED.png").isNull());
    }

    void thePadShowsNotesSharingAnIdWithoutCrashing()
    {
        startWith(fileOf({record(idA, "first"), record(idA, "second")}));
        PadView pad(f->app.get());
        pad.resize(340, 300);
        // Every refresh after the first carries the card state over by id.
        f->app->changed();
        f->app->changed();
        f->app->setRevealed(true);
        f->app->setPadHot(true);
        motion::FrameClock::instance().advance(2);
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        for (QWidget* card : pad.findChildren<QAbstractButton*>()) {
            if (card->accessibleName() == "first" || card->accessibleName() == "second") {
                QApplication::sendEvent(card, &enter);
            }
        }
        QImage image(pad.size(), QImage::Format_ARGB32);
        pad.render(&image);
        QCOMPARE(f->app->peekNotes().size(), 2);
    }

    void imageNamesThatLeaveTheImagesFolderTouchNothing()
    {
        // Files the names point at: beside the notes file and one folder further up.
        const QByteArray picture = pngBytes(QSize(20, 20));
        writeFile(f->dir.filePath("victim.png"), picture);
        writeFile(f->dir.filePath("images/sub/inner.png"), picture);
        const QString absolute = f->dir.filePath("victim.png");
        const QByteArray names = ",\"images\":[\"..\\/victim.png\",\"sub\\/inner.png\",\"" +
                                 absolute.toUtf8().replace("/", "\\/") + "\",\"..\",\".\",\"\"]";
        const QByteArray old = ",\"deletedAt\":700000000"; // long past: purged at start
        const QByteArray trashed = ",\"deletedAt\":794000000";
        const QByteArray idB = "6F1C2B3A-0D4E-4F5A-8B6C-7D8E9FA0B1C3";
        const QByteArray idC = "6F1C2B3A-0D4E-4F5A-8B6C-7D8E9FA0B1C4";
        startWith(fileOf({record(idA, "live", names), record(idB, "purged", names + old),
                          record(idC, "trashed", names + trashed)}));
        QCOMPARE(f->app->notes().size(), 2);
        NoteModel* live = f->app->notes()[0];

        // Drawn and measured as missing pictures.
        f->app->show(live);
        f->app->resize(live);
        for (const QString& name : live->images()) {
            QVERIFY(Images::load(name).isNull());
        }
        f->app->viewImages(live, 0);
        QCoreApplication::processEvents();

        f->app->removeImage(live, "../victim.png");
        f->app->deleteForever(f->app->notes()[1]);
        f->app->deleteForever(live);
        QCoreApplication::processEvents();

        QCOMPARE(readFile(f->dir.filePath("victim.png")), picture);
        QCOMPARE(readFile(f->dir.filePath("images/sub/inner.png")), picture);
        QVERIFY(f->app->notes().isEmpty());
    }
};

static RegisterSuite<HostileFileTest> registered;
#include "HostileFileTest.moc"
