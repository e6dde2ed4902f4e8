#include "model/LocalLayout.h"

#include "StoreFixture.h"
#include "model/Merge.h"

// The notes file is shared with other computers and holds the layout of whichever wrote it
// last; this computer's own layout file, outside the notes folder, puts its notes back where
// they were here.
class LocalLayoutTest : public QObject, private StoreFixture {
    Q_OBJECT

    QString state;

    // Another computer's windows for the same note: placed, sized and folded otherwise.
    static NoteData placedElsewhere(NoteData r)
    {
        std::tie(r.x, r.y, r.onScreen, r.folded, r.pw, r.ph) =
            std::tuple(r.x + 500, 3.0, !r.onScreen, !r.folded,
                       r.pw ? std::nullopt : std::optional(410.0), std::optional(330.0));
        return r;
    }

private Q_SLOTS:
    void init()
    {
        setUp(this);
        state = f->dir.filePath("state");
        f->services().stateFolder = state;
    }
    void cleanup() { tearDown(); }

    void thisComputersLayoutComesBackOverTheOtherComputers()
    {
        NoteData shown = record("on this screen");
        std::tie(shown.onScreen, shown.x, shown.y, shown.pw) =
            std::tuple(true, 100.0, 200.0, 320.0);
        NoteData tucked = record("tucked here");
        QVERIFY(Store::write(Store::snapshotOf({shown, tucked})));
        // Nothing of this computer's own goes into the synced folder.
        QCOMPARE(files(), QStringList{"notes.json"});
        QCOMPARE(QDir(state).entryList(QDir::Files),
                 QStringList{"layout-" + Merge::thisComputer() + ".json"});

        // The other computer edits one note, lays both out its own way and makes one.
        NoteData edited = placedElsewhere(shown);
        edited.text = "edited there";
        NoteData made = placedElsewhere(record("made there"));
        writeFile(path, Store::encode({edited, placedElsewhere(tucked), made}));
        startAfresh();
        const QList<NoteData> loaded = Store::load();
        QCOMPARE(loaded.size(), 3);
        QCOMPARE(loaded[0], Merge::withContent(shown, edited));
        QCOMPARE(loaded[1], tucked);
        QCOMPARE(loaded[2], made); // never laid out here: as the notes file has it
    }

    void layoutsThatMakeNoSenseChangeNothing()
    {
        const NoteData theirs = placedElsewhere(record("theirs"));
        writeFile(path, Store::encode({theirs}));
        const QByteArray id = theirs.id.toString(QUuid::WithoutBraces).toUpper().toUtf8();
        for (const char* bytes : {"", R"({"ID":[1,2,tr)", R"([[1,2,true,false,null,null]])",
                                  R"({"ID":[1,2,true,false]})",
                                  R"({"ID":["1",2,true,false,null,null]})", R"({"ID":{"x":1}})"}) {
            writeFile(LocalLayout::path(), QByteArray(bytes).replace("ID", id));
            QVERIFY2(Store::load() == QList<NoteData>{theirs}, bytes);
        }
        // Only a size that makes no sense: the rest of the place holds, the size is the default.
        writeFile(LocalLayout::path(), R"({")" + id + R"(":[10,20,true,false,-5,"big"]})");
        const NoteData loaded = Store::load().value(0);
        QVERIFY(std::tuple(loaded.x, loaded.y, loaded.onScreen, loaded.pw, loaded.ph) ==
                std::tuple(10.0, 20.0, true, std::nullopt, std::nullopt));
    }

    void writtenOnlyWhenTheLayoutChangesAndAFailureToldOnce()
    {
        NoteModel* note = add("typed");
        QVERIFY(Store::save(notes));
        const QString layout = LocalLayout::path();
        const std::optional<DiskFile::Stamp> first = DiskFile::stampOf(layout);
        QVERIFY(first);
        note->setText("typed on");
        QVERIFY(Store::save(notes));
        QCOMPARE(DiskFile::stampOf(layout), first);

        // Under a file no folder can be made: the notes are saved all the same.
        f->services().stateFolder = path + "/state";
        for (double x : {30, 40}) {
            note->origin.setX(x);
            QVERIFY(Store::save(notes));
        }
        QCOMPARE(f->log.lines.size(), 1);
        QVERIFY(f->log.lines[0].startsWith("Quillhaven: this computer's layout not saved: " + path +
                                           "/state/layout-"));

        f->services().stateFolder = state;
        QVERIFY(Store::save(notes)); // the next save puts it right
        QVERIFY(DiskFile::stampOf(layout) != first);
        startAfresh();
        QCOMPARE(Store::load().value(0).x, 40.0);

        // Kept in the XDG state folder, but for a test's notes.
        f->services().stateFolder.clear();
        QVERIFY(LocalLayout::path().isEmpty());

        platform::Services real = platform::services();
        real.notesFile.clear();
        const platform::ServicesGuard guard(real);
        Store::useFolder(f->dir.path()); // the notes stay out of the real home
        const QByteArray saved = qgetenv("XDG_STATE_HOME");
        const QString name = "/Quillhaven/layout-" + Merge::thisComputer() + ".json";
        qputenv("XDG_STATE_HOME", f->dir.filePath("xdg").toUtf8());
        QCOMPARE(LocalLayout::path(), f->dir.filePath("xdg") + name);
        qputenv("XDG_STATE_HOME", "relative/is/ignored");
        QCOMPARE(LocalLayout::path(), QDir::homePath() + "/.local/state" + name);
        saved.isNull() ? qunsetenv("XDG_STATE_HOME") : qputenv("XDG_STATE_HOME", saved);
    }
};

static RegisterSuite<LocalLayoutTest> registered;
#include "LocalLayoutTest.moc"
