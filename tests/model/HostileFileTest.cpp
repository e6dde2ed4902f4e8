#include "StoreFixture.h"
#include "controller/ImageQueue.h"
#include "controller/NoteSizes.h"
#include "pad/PadText.h"
#include "platform/Notices.h"

#include <QJsonDocument>
#include <sys/time.h>

// The notes folder as something else, a hostile or an unlucky world, leaves it: files broken,
// cut short, gigantic or deeply nested, repeated ids, image names that point elsewhere, a FIFO
// where the notes file should be, the images folder swapped for a link, pictures no note names.
// Nothing crashes or blocks, nothing outside the folder is touched, and what can be recovered is.
namespace {

const QByteArray idA = "6F1C2B3A-0D4E-4F5A-8B6C-7D8E9FA0B1C2";

QByteArray newId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toLatin1();
}

// `text` and `extra` go in as they are, for bytes no encoder would write.
QByteArray record(const QByteArray& id, const QByteArray& text, const QByteArray& extra = {})
{
    return "{\"id\":\"" + id + "\",\"text\":\"" + text +
           "\",\"folded\":false,\"onScreen\":false,\"x\":100,\"y\":300" + extra + "}";
}

QByteArray fileOf(const QByteArrayList& records)
{
    return "[" + records.join(',') + "]";
}

QString ownName()
{
    return QString::fromLatin1(newId()) + QStringLiteral(".png");
}

void makeOld(const QString& path)
{
    const timeval twoDaysAgo[2] = {{::time(nullptr) - 2 * 86400, 0},
                                   {::time(nullptr) - 2 * 86400, 0}};
    QVERIFY(::lutimes(QFile::encodeName(path).constData(), twoDaysAgo) == 0);
}

// A note deleted long ago, purged at the next start, that lists `images`.
QJsonObject longDeleted(const QStringList& images)
{
    QJsonObject old = Fixture::record(QStringLiteral("old"));
    old["deletedAt"] = 700000000;
    old["images"] = QJsonArray::fromStringList(images);
    return old;
}

} // namespace

class HostileFileTest : public QObject, private StoreFixture {
    Q_OBJECT

    // The one file set aside as unreadable next to notes.json, or an empty string.
    QString asideFile() const
    {
        const QStringList found =
            QDir(f->dir.path()).entryList({"notes.json.unreadable-*"}, QDir::System | QDir::Files);
        return found.size() == 1 ? f->dir.filePath(found[0]) : QString();
    }

private Q_SLOTS:
    void init() { setUp(this); }
    void cleanup() { tearDown(); }

    void unreadableFilesAreKeptAsideUntouched_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("recovered"); // whole records that still read on their own
        const QByteArray good = record(idA, "kept");
        QTest::newRow("empty") << QByteArray() << 0;
        QTest::newRow("a number for a record") << QByteArray("[42]") << 0;
        QTest::newRow("100,000 open brackets") << QByteArray(100000, '[') << 0;
        QTest::newRow("100,000 nested arrays")
            << QByteArray(100000, '[') + QByteArray(100000, ']') << 0;
        QTest::newRow("100,000 nested objects")
            << "[" + QByteArray("{\"a\":").repeated(100000) << 0;
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
        // What does not read alone is skipped: a number, a string, a bad id, a nested record.
        const QByteArray a = record(newId(), "a");
        const QByteArray b = record(newId(), "b");
        QTest::newRow("salvage skips")
            << "\xEF\xBB\xBF[" + a + ",7,\"{\"," + R"({"id":"not an id","text":"x"},[)" + b + "]," +
                   b + "]"
            << 2;
        QTest::newRow("a lone bracket") << QByteArray("]") << 0;
        QTest::newRow("an open escape") << QByteArray("[{\"id\":\"\\") << 0;
        QTest::newRow("3,000 open braces") << QByteArray(3000, '{') << 0;
        QTest::newRow("a record in a string") << "[\"" + a << 0;
        // One record that does not read, beside a good one.
        const QByteArray rest = R"("text":"","folded":false,"onScreen":false,"x":0,"y":0)";
        const QByteArray id = "\"id\":\"" + newId() + "\",";
        const auto with = [&](const char* from, const char* to) {
            return QByteArray(id + rest).replace(from, to);
        };
        const std::pair<const char*, QByteArray> badRecords[] = {
            {"no text", with(R"("text":"",)", "")},
            {"null text", with(R"("text":"")", R"("text":null)")},
            {"folded 0", with(R"("folded":false)", R"("folded":0)")},
            {"x string", with(R"("x":0)", R"("x":"0")")},
            {"no id", rest},
            {"braced id", R"("id":"{5C9E0A4B-1D2E-4F30-8A6B-7C8D9E0F1A2B}",)" + rest},
            {"short id", R"("id":"5C9E0A4B-1D2E-4F30-8A6B-7C8D9E0F1A2",)" + rest},
            {"non-hex id", R"("id":"5C9E0A4B-1D2E-4F30-8A6B-7C8D9E0F1A2G",)" + rest},
            {"date string", id + R"("created":"2026-01-01",)" + rest},
            {"absurd date", id + R"("modified":1e300,)" + rest},
            {"colour number", id + R"("color":3,)" + rest},
            {"image number", id + R"("images":["a.png",1],)" + rest},
            {"overflow", id + R"("pw":1e999,)" + rest},
            {"version fraction", id + R"("versions":{"A":1.5},)" + rest},
            {"stamp string", id + R"("changed":"today",)" + rest}};
        for (const auto& [name, bad] : badRecords) {
            QTest::newRow(name) << fileOf({good, "{" + bad + "}"}) << 1;
        }
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
        QCOMPARE(f->log.lines,
                 QStringList{"Quillhaven: notes file unreadable, kept as " + asideFile()});
        QVERIFY(!QFile::exists(path));
        QCOMPARE(readFile(asideFile()), bytes);
    }

    void aFileCutInHalfLoadsEveryCompleteRecordBeforeTheCut()
    {
        QByteArray file = "[";
        QList<qsizetype> ends;
        for (int i = 0; i < 200; ++i) {
            file += (i > 0 ? "," : "") +
                    record(newId(), "note " + QByteArray::number(i) + R"( says \"}]{[\\)");
            ends << file.size();
        }
        const QByteArray cut = file.left(file.size() / 2);
        const int whole = int(std::count_if(ends.cbegin(), ends.cend(),
                                            [&cut](qsizetype end) { return end <= cut.size(); }));
        writeFile(path, cut);
        // Pictures of the notes lost with the damage may be all that is left of them.
        const QString orphan = f->storeImage(QSize(4, 4));
        makeOld(f->dir.filePath("images/" + orphan));
        QSignalSpy told(&platform::Notices::shared(), &platform::Notices::posted);

        AppController& app = f->startUp();

        QCOMPARE(app.notes().size(), whole);
        for (int i = 0; i < whole; ++i) {
            QVERIFY(app.notes()[i]->text().startsWith(QStringLiteral("note %1 says").arg(i)));
        }
        QCOMPARE(readFile(asideFile()), cut);
        QCOMPARE(f->savedNotes().size(), whole); // on disk again, not only in memory
        QCOMPARE(app.recoveredNotes(), std::optional(whole));
        QTRY_COMPARE(told.size(), 1);
        const QString notice = told.at(0).at(0).toString();
        QVERIFY2(notice.contains(QString::number(whole)) && notice.contains(asideFile()),
                 qPrintable(notice));
        QVERIFY(pad::recoveredLine(whole).text.contains(QString::number(whole)));
        QVERIFY(f->imageExists(orphan));
    }

    // Opening a FIFO for reading waits for a writer that never comes; a huge sparse file would
    // be read whole into memory. Neither is read, at start or while running.
    void whatIsNoNotesFileIsSetAsideWithoutReading_data()
    {
        QTest::addColumn<bool>("fifo");
        QTest::newRow("a FIFO") << true;
        QTest::newRow("a 2 GB sparse file") << false;
    }

    void whatIsNoNotesFileIsSetAsideWithoutReading()
    {
        QFETCH(bool, fifo);
        const auto putInPlace = [&] {
            QFile::remove(path);
            if (fifo) {
                QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
                return;
            }
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(2LL << 30));
        };
        putInPlace();
        AppController& app = f->startUp();
        QVERIFY(app.notes().isEmpty());
        QVERIFY(!asideFile().isEmpty());
        QCOMPARE(app.recoveredNotes(), std::optional(0));

        app.newNote(std::nullopt, QStringLiteral("yellow"))->setText(QStringLiteral("kept"));
        app.writer().drain();
        putInPlace();
        app.notes().first()->setText(QStringLiteral("typed after"));
        app.save();
        app.writer().drain();
        QCOMPARE(f->savedTexts(), QStringList{"typed after"});

        // Nor is a FIFO among the pictures.
        const QString name = ownName();
        QVERIFY(::mkfifo(QFile::encodeName(Images::dir() + "/" + name).constData(), 0600) == 0);
        QVERIFY(Images::load(name).isNull());
    }

    // A 50 MB note among 100,000 others.
    void hugeFilesLoadAndSaveWhole()
    {
        QByteArray text(50 * 1024 * 1024, 'w');
        for (qsizetype i = 0; i < text.size(); i += 4096) {
            text[i] = ' ';
        }
        QList<QByteArray> records{record(idA, text)};
        for (int i = 0; i < 100000; ++i) {
            records << record(newId(), "note " + QByteArray::number(i));
        }
        writeFile(path, fileOf(records));
        records.clear();
        QList<NoteModel*> notes = makeNotes(Store::load());
        QCOMPARE(notes.size(), 100001);
        QCOMPARE(notes[0]->text().size(), text.size());
        QCOMPARE(notes[0]->title().size(), 999); // a bounded prefix, its first space trimmed
        QCOMPARE(notes.last()->text(), "note 99999");
        QVERIFY(Store::save(notes));
        QCOMPARE(Store::load().value(0).text, notes[0]->text());
        qDeleteAll(notes);
    }

    void notesSharingAnIdStayApartAndKeepTheirImages()
    {
        const QByteArray shared = ",\"images\":[\"SHARED.png\"]";
        writeFile(f->dir.filePath("images/SHARED.png"), pngBytes(QSize(40, 30)));
        writeFile(path, fileOf({record(idA, "first", shared), record(idA, "second", shared)}));
        f->startUp();
        QCOMPARE(f->app->notes().size(), 2);
        NoteModel* first = f->app->notes()[0];
        NoteModel* second = f->app->notes()[1];
        QCOMPARE(first->id().toString(QUuid::WithoutBraces).toUpper(), QString::fromLatin1(idA));
        QVERIFY(second->id() != first->id()); // the copy gets an identity of its own

        f->app->trash(second);
        QVERIFY(!first->deletedAt() && second->deletedAt());
        const QJsonArray saved = f->savedNotes();
        QCOMPARE(saved.size(), 2);
        QVERIFY(!saved[0].toObject().contains("deletedAt") &&
                saved[1].toObject().contains("deletedAt"));

        f->app->deleteForever(second);
        QCOMPARE(f->app->notes(), QList<NoteModel*>{first});
        QCOMPARE(f->savedNotes().at(0)["text"].toString(), "first");
        // The other note still shows the picture, so its file stays.
        QVERIFY(QFile::exists(Images::url("SHARED.png")));
        QVERIFY(!Images::load("SHARED.png").isNull());
    }

    void imageNamesThatLeaveTheImagesFolderTouchNothing()
    {
        // Files the names point at: beside the notes file and one folder further up.
        const QByteArray picture = pngBytes(QSize(20, 20));
        writeFile(f->dir.filePath("victim.png"), picture);
        writeFile(f->dir.filePath("images/sub/inner.png"), picture);
        const QStringList names{
            "../victim.png", "sub/inner.png", f->dir.filePath("victim.png"), "..", ".", "",
            "..\\victim.png"};
        QJsonObject live = Fixture::record("live");
        live["images"] = QJsonArray::fromStringList(names);
        QJsonObject trashed = longDeleted(names);
        trashed["deletedAt"] = 799000000; // ten days ago
        f->writeNotes({live, longDeleted(names), trashed});
        f->startUp();
        QCOMPARE(f->app->notes().size(), 2);
        NoteModel* notePointingOut = f->app->notes()[0];

        // Drawn and measured as missing pictures.
        f->app->show(notePointingOut);
        f->app->sizes().resize(notePointingOut);
        for (const QString& name : notePointingOut->images()) {
            QVERIFY(Images::load(name).isNull() && Images::url(name).isEmpty());
        }
        f->app->viewImages(notePointingOut, 0);
        QCoreApplication::processEvents();

        f->app->images().removeImage(notePointingOut, "../victim.png");
        f->app->deleteForever(f->app->notes()[1]);
        f->app->deleteForever(notePointingOut);
        QCoreApplication::processEvents();

        QCOMPARE(readFile(f->dir.filePath("victim.png")), picture);
        QCOMPARE(readFile(f->dir.filePath("images/sub/inner.png")), picture);
        QVERIFY(f->app->notes().isEmpty());
    }

    // Nothing is deleted through it, nor written: a picture stored there could never go again.
    void aLinkedImagesFolderIsNeverWrittenNorPurgedThrough()
    {
        QTemporaryDir outside;
        const QStringList names{QStringLiteral("id_ed25519"), ownName()};
        for (const QString& name : names) {
            writeFile(outside.filePath(name), "secret");
        }
        QVERIFY(QFile::link(outside.path(), f->dir.filePath("images")));
        f->writeNotes({longDeleted(names)});

        f->startUp();

        QVERIFY(f->app->notes().isEmpty()); // purged
        for (const QString& name : names) {
            QCOMPARE(readFile(outside.filePath(name)), QByteArray("secret"));
        }
        QVERIFY(f->saveImage(QSize(8, 8)).isEmpty());
        QCOMPARE(QDir(outside.path()).entryList(QDir::Files).size(), names.size());
    }

    // The purge takes the pictures of the notes it deletes, but only names of the program's
    // own. A picture nothing names goes once this program has seen it unnamed for a day (a
    // sync tool keeps the sender's file times), again only the program's own, and never one
    // a conflict copy waiting to be merged still names.
    void theStartDeletesOnlyItsOwnPicturesThatNoNoteNeeds()
    {
        const QString purged = f->storeImage({4, 4}), listed = f->storeImage({4, 4});
        const QString orphan = f->storeImage({4, 4}), inCopy = f->storeImage({4, 4});
        const QString foreign = QStringLiteral("holiday.png");
        writeFile(f->dir.filePath("images/" + foreign), "mine");
        writeFile(f->dir.filePath("images/id_ed25519"), "secret");
        for (const QString& name : {listed, orphan, inCopy, foreign}) {
            makeOld(f->dir.filePath("images/" + name));
        }
        QJsonObject note = Fixture::record(QStringLiteral("has a picture"));
        note["images"] = QJsonArray{listed};
        f->writeNotes({note, longDeleted({purged, QStringLiteral("id_ed25519")})});
        QJsonObject copied = Fixture::record(QStringLiteral("from the other computer"));
        copied["images"] = QJsonArray{inCopy};
        writeFile(f->dir.filePath("notes.sync-conflict-20261201-101010-ABCDEFG.json"),
                  QJsonDocument(QJsonArray{copied}).toJson());

        f->startUp();
        QVERIFY(!f->imageExists(purged));
        QVERIFY(f->imageExists(orphan)); // unnamed, but only just seen so
        f->app.reset();
        f->today = f->today.addDays(1);
        f->startUp();

        QVERIFY(f->imageExists(listed));
        QVERIFY(!f->imageExists(orphan));
        QVERIFY(f->imageExists(inCopy));
        QVERIFY(QFile::exists(f->dir.filePath("images/" + foreign)));
        QCOMPARE(readFile(f->dir.filePath("images/id_ed25519")), QByteArray("secret"));
    }

    // What the program makes is private; what it finds (a shared folder the notes were put in,
    // the user's own photo in an images folder) keeps its mode.
    void ownFilesArePrivateAndNoOneElses()
    {
        QTemporaryDir data;
        const QString folder = data.filePath(QStringLiteral("Quillhaven"));
        QCOMPARE(Store::locateIn(data.path()), folder + QStringLiteral("/notes.json"));
        const auto chmod = [](const QString& file, mode_t mode) {
            QVERIFY(::chmod(QFile::encodeName(file).constData(), mode) == 0);
        };
        QCOMPARE(modeOf(folder), mode_t(0700));
        chmod(folder, 0755);
        Store::locateIn(data.path());
        QCOMPARE(modeOf(folder), mode_t(0700)); // the default folder is ours: tightened
        chmod(data.path(), 0775);
        qputenv("QUILLHAVEN_DATA_DIR", data.path().toUtf8());
        QCOMPARE(Store::configuredFolder(QString()), data.path());
        qunsetenv("QUILLHAVEN_DATA_DIR");
        QCOMPARE(modeOf(data.path()), mode_t(0775));

        const QString left = f->dir.filePath("images/" + ownName());
        const QString photo = f->dir.filePath(QStringLiteral("images/photo.jpg"));
        writeFile(left, "png");
        writeFile(photo, "jpg");
        chmod(left, 0664);
        chmod(photo, 0664);
        chmod(f->dir.filePath("images"), 0775);
        f->startUp(); // a new notes file's mode is StoreFileTest's
        const QString image = f->saveImage(QSize(8, 8));
        QVERIFY(!image.isEmpty());
        QCOMPARE((QList<mode_t>{modeOf(Images::url(image)), modeOf(left), modeOf(photo),
                                modeOf(Images::dir())}),
                 (QList<mode_t>{0600, 0600, 0664, 0775}));
    }
};

static RegisterSuite<HostileFileTest> registered;
#include "HostileFileTest.moc"
