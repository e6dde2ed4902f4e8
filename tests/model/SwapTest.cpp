#include "StoreFixture.h"
#include "model/DiskFile.h"

#include <cstdio>

namespace {

// Puts a new file in place of `path` the way a sync tool does: written beside, renamed over.
void replaceFromOutside(const QString& path, const QByteArray& bytes)
{
    writeFile(path + ".sync-tool", bytes);
    QVERIFY(::rename(QFile::encodeName(path + ".sync-tool"), QFile::encodeName(path)) == 0);
}

} // namespace

// The moment between the look at the notes file and the new one taking its place.
class SwapTest : public QObject, private StoreFixture {
    Q_OBJECT

    QStringList files() const { return QDir(f->dir.path()).entryList(QDir::Files); }

private Q_SLOTS:
    void init() { setUp(this); }
    void cleanup()
    {
        DiskFile::setBeforeSwapHook({});
        tearDown();
    }

    void anOutsideReplaceInTheLastInstantIsKept()
    {
        add("mine");
        QVERIFY(Store::save(notes));
        add("mine too");
        DiskFile::setBeforeSwapHook([this] { replaceFromOutside(path, R"([{"text": 1}])"); });
        QVERIFY(Store::save(notes));
        const QString aside = path + ".outside-20260506-070809";
        QCOMPARE(f->log.lines,
                 QStringList{"Quillhaven: notes file changed outside, kept as " + aside});
        QCOMPARE(readFile(aside), R"([{"text": 1}])");
        QCOMPARE(texts(readFile(path)), (QStringList{"mine", "mine too"}));
        QCOMPARE(files(), (QStringList{"notes.json", "notes.json.outside-20260506-070809"}));

        // The first file appears from outside just as the first save is made.
        QVERIFY(QFile::remove(path));
        startAfresh();
        QVERIFY(load().isEmpty());
        DiskFile::setBeforeSwapHook([this] { writeFile(path, "[]"); });
        QVERIFY(Store::save(notes));
        QCOMPARE(f->log.lines.size(), 1);
        QCOMPARE(readFile(path + ".merging-20260506-070809"), "[]"); // it reads: merged next
    }

    void ourOwnFileIsTheOneDisplacedAndGoes()
    {
        add("mine");
        QVERIFY(Store::save(notes));
        int swaps = 0;
        DiskFile::setBeforeSwapHook([&swaps] { ++swaps; });
        for (const char* text : {"one", "two", "three"}) {
            notes.first()->setText(text);
            QVERIFY(Store::save(notes));
        }
        QCOMPARE(swaps, 3);
        QVERIFY(f->log.lines.isEmpty());
        QCOMPARE(files(), QStringList{"notes.json"});
        QCOMPARE(texts(readFile(path)), QStringList{"three"});
    }

    void onlyTheNewestOutsideVersionsAreKept()
    {
        add("mine");
        QVERIFY(Store::save(notes));
        // Two a second, for four seconds: the names sort by time and then by number.
        for (int i = 0; i < 8; ++i) {
            replaceFromOutside(path, QByteArray::number(i));
            Store::Snapshot snapshot = Store::snapshot(notes);
            snapshot.taken = snapshot.taken.addSecs(i / 2);
            QVERIFY(Store::write(snapshot));
        }
        QCOMPARE(f->log.lines.size(), 8);
        QCOMPARE(files(), (QStringList{"notes.json", "notes.json.outside-20260506-070810-2",
                                       "notes.json.outside-20260506-070811",
                                       "notes.json.outside-20260506-070811-2",
                                       "notes.json.outside-20260506-070812",
                                       "notes.json.outside-20260506-070812-2"}));
        QCOMPARE(readFile(path + ".outside-20260506-070812-2"), "7");
        QCOMPARE(readFile(path + ".outside-20260506-070810-2"), "3");
        // A user's own file of a similar name is not the program's to remove.
        writeFile(path + ".outside-mine", "keep");
        replaceFromOutside(path, "8");
        QVERIFY(Store::save(notes));
        QCOMPARE(readFile(path + ".outside-mine"), "keep");
    }
};

static RegisterSuite<SwapTest> registered;
#include "SwapTest.moc"
