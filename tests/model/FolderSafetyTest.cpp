#include "Suites.h"
#include "controller/AppController.h"
#include "model/Images.h"
#include "model/NoteModel.h"
#include "model/NotesWriter.h"
#include "model/Store.h"
#include "pad/PadText.h"
#include "platform/Notices.h"
#include "support/Fixture.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUuid>
#include <sys/stat.h>
#include <sys/time.h>

// The notes folder as a hostile or unlucky world leaves it: cut short, a FIFO where the notes
// file should be, the images folder swapped for a link, pictures no note names. Nothing outside
// the folder is touched, nothing blocks, and what can be recovered is.
namespace {

QByteArray recordNumbered(int i)
{
    const QByteArray id = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toLatin1();
    return "{\"id\":\"" + id + "\",\"text\":\"note " + QByteArray::number(i) +
           " says \\\"}]{[\\\\\",\"folded\":false,\"onScreen\":false,\"x\":1,\"y\":2}";
}

QString ownName()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".png");
}

void makeOld(const QString& path)
{
    const timeval twoDaysAgo[2] = {{::time(nullptr) - 2 * 86400, 0},
                                   {::time(nullptr) - 2 * 86400, 0}};
    QVERIFY(::lutimes(QFile::encodeName(path).constData(), twoDaysAgo) == 0);
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 0777) : 07777;
}

QByteArray oldDeletedListing(const QStringList& names)
{
    QByteArray list;
    for (const QString& name : names) {
        list += (list.isEmpty() ? "\"" : ",\"") + name.toUtf8() + "\"";
    }
    return "[{\"id\":\"" + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toLatin1() +
           "\",\"text\":\"old\",\"folded\":false,\"onScreen\":false,\"x\":1,\"y\":2,"
           "\"deletedAt\":700000000,\"images\":[" +
           list + "]}]";
}

} // namespace

class FolderSafetyTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> f;
    QString path;

    QString asideFile() const
    {
        const QStringList found =
            QDir(f->dir.path()).entryList({"notes.json.unreadable-*"}, QDir::System | QDir::Files);
        return found.size() == 1 ? f->dir.filePath(found[0]) : QString();
    }

private Q_SLOTS:
    void init()
    {
        f = std::make_unique<Fixture>(utc(2026, 3, 1, 12));
        path = f->notesPath();
    }
    void cleanup() { f.reset(); }

    void aFileCutInHalfLoadsEveryCompleteRecordBeforeTheCut()
    {
        QByteArray file = "[";
        QList<qsizetype> ends;
        for (int i = 0; i < 200; ++i) {
            file += (i > 0 ? "," : "") + recordNumbered(i);
            ends << file.size();
        }
        file += "]";
        const QByteArray cut = file.left(file.size() / 2);
        const int whole = int(std::count_if(ends.cbegin(), ends.cend(),
                                            [&cut](qsizetype end) { return end <= cut.size(); }));
        writeFile(path, cut);
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
    }

    void salvageSkipsWhatDoesNotReadAlone()
    {
        const QByteArray a = recordNumbered(1);
        const QByteArray b = recordNumbered(2);
        const QByteArray broken = "{\"id\":\"not an id\",\"text\":\"x\"}";
        QCOMPARE(
            Store::salvage("\xEF\xBB\xBF[" + a + ",7,\"{\"," + broken + ",[" + b + "]," + b + "]")
                .size(),
            2);
        for (const QByteArray& junk : {QByteArray(), QByteArray("]"), QByteArray("[{\"id\":\"\\"),
                                       QByteArray(3000, '{'), "[\"" + a}) {
            QVERIFY(Store::salvage(junk).isEmpty());
        }
    }

    // Opening a FIFO for reading waits for a writer that never comes.
    void aFifoInPlaceOfTheNotesFileIsSetAsideWithoutWaiting()
    {
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        AppController& app = f->startUp();
        QVERIFY(app.notes().isEmpty());
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(!asideFile().isEmpty());
        QCOMPARE(app.recoveredNotes(), std::optional(0));

        const QString name = ownName();
        QVERIFY(::mkfifo(QFile::encodeName(Images::dir() + "/" + name).constData(), 0600) == 0);
        QVERIFY(Images::load(name).isNull());
    }

    void thePurgeNeverDeletesThroughALinkedImagesFolder()
    {
        QTemporaryDir outside;
        const QStringList names{QStringLiteral("id_ed25519"), ownName()};
        for (const QString& name : names) {
            writeFile(outside.filePath(name), "secret");
        }
        QVERIFY(QFile::link(outside.path(), f->dir.filePath("images")));
        writeFile(path, oldDeletedListing(names));

        f->startUp();

        QVERIFY(f->app->notes().isEmpty()); // purged
        for (const QString& name : names) {
            QCOMPARE(readFile(outside.filePath(name)), QByteArray("secret"));
        }
    }

    void thePurgeDeletesOnlyTheProgramsOwnNames()
    {
        const QString own = f->storeImage(QSize(4, 4));
        writeFile(f->dir.filePath("images/id_ed25519"), "secret");
        writeFile(path, oldDeletedListing({own, QStringLiteral("id_ed25519")}));
        f->startUp();
        QVERIFY(!f->imageExists(own));
        QCOMPARE(readFile(f->dir.filePath("images/id_ed25519")), QByteArray("secret"));
    }

    void orphanImagesOlderThanADayGoAtStart()
    {
        const QString listed = f->storeImage(QSize(4, 4));
        const QString orphan = f->storeImage(QSize(4, 4));
        const QString young = f->storeImage(QSize(4, 4));
        const QString foreign = QStringLiteral("holiday.png");
        writeFile(f->dir.filePath("images/" + foreign), "mine");
        for (const QString& name : {listed, orphan, foreign}) {
            makeOld(f->dir.filePath("images/" + name));
        }
        QJsonObject note = Fixture::record(QStringLiteral("has a picture"));
        note["images"] = QJsonArray{listed};
        f->writeNotes({note});

        f->startUp();

        QVERIFY(f->imageExists(listed));
        QVERIFY(!f->imageExists(orphan));
        QVERIFY(f->imageExists(young));
        QVERIFY(QFile::exists(f->dir.filePath("images/" + foreign)));
    }

    // Pictures of notes lost with a damaged file may be all that is left of them.
    void aDamagedFileKeepsEveryPicture()
    {
        const QString orphan = f->storeImage(QSize(4, 4));
        makeOld(f->dir.filePath("images/" + orphan));
        writeFile(path, "[{\"id\":");
        f->startUp();
        QVERIFY(f->imageExists(orphan));
    }

    void everyFileAndFolderIsPrivate()
    {
        QTemporaryDir data;
        const QString folder = data.filePath(QStringLiteral("Quillhaven"));
        QCOMPARE(Store::locateIn(data.path()), folder + QStringLiteral("/notes.json"));
        QCOMPARE(modeOf(folder), mode_t(0700));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
        Store::locateIn(data.path());
        QCOMPARE(modeOf(folder), mode_t(0700)); // tightened at start

        // The fixture's own folder: images folder, image and notes file as the program makes
        // them, and a picture left readable by an earlier version.
        const QString left = f->dir.filePath("images/" + ownName());
        writeFile(left, "png");
        QVERIFY(::chmod(QFile::encodeName(left).constData(), 0644) == 0);
        QVERIFY(::chmod(QFile::encodeName(f->dir.filePath("images")).constData(), 0755) == 0);
        AppController& app = f->startUp();
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::red);
        const std::optional<QString> image = Images::save(picture);
        QVERIFY(image.has_value());
        app.setNotes({new NoteModel(NoteData{}, &app)});
        app.save();
        app.writer().drain();
        QCOMPARE(modeOf(Images::dir()), mode_t(0700));
        QCOMPARE(modeOf(Images::url(*image)), mode_t(0600));
        QCOMPARE(modeOf(path), mode_t(0600));
        QCOMPARE(modeOf(left), mode_t(0600));
    }
};

static RegisterSuite<FolderSafetyTest> registered;

#include "FolderSafetyTest.moc"
