#include "model/NotesExport.h"

#include "StoreFixture.h"

// The notes as Markdown files: names that any disk and editor take, the note's fields in its
// front matter, its pictures beside it, and an index of them all.
class NotesExportTest : public QObject, private StoreFixture {
    Q_OBJECT

    static NotesExport::Item item(const QString& title, const std::optional<QString>& folder = {},
                                  const QStringList& images = {})
    {
        NotesExport::Item it{record(title + "\nmore"), title, {}};
        it.record.folder = folder;
        if (!images.isEmpty()) {
            it.record.images = images;
        }
        return it;
    }

private Q_SLOTS:
    void init() { setUp(this); }
    void cleanup() { tearDown(); }

    void fileNamesAreSafeOnEveryDisk_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("stem");
        QTest::newRow("plain") << "Shopping list"
                               << "Shopping list";
        QTest::newRow("separators") << "a/b\\c: d?*"
                                    << "a b c d";
        QTest::newRow("hidden") << "..rc"
                                << "rc";
        QTest::newRow("markdown") << "#1 [todo]"
                                  << "1 todo";
        QTest::newRow("empty") << " \t "
                               << "Note";
        QTest::newRow("long") << QString(70, u'x') << QString(60, u'x');
        QTest::newRow("accents kept") << "Grüße, Zoë"
                                      << "Grüße, Zoë";
    }
    void fileNamesAreSafeOnEveryDisk()
    {
        QFETCH(QString, title);
        QTEST(NotesExport::stemOf(title), "stem");
    }

    void aNoteKeepsItsFieldsInFrontMatterAndLinksItsPictures()
    {
        NotesExport::Item it = item("Plan", QStringLiteral("Work \"2\""));
        it.record.id = QUuid::fromString(QStringLiteral("11111111-0000-4000-8000-000000000001"));
        it.record.color = QStringLiteral("blue");
        it.record.pinned = true;
        it.record.created = utc(2026, 1, 2, 3, 4, 5);
        it.record.modified = utc(2026, 2, 3, 4, 5, 6);
        it.tags = QStringList{"#idea"};
        QCOMPARE(
            NotesExport::markdown(it, {"Plan 1.png"}),
            QByteArray("---\nid: 11111111-0000-4000-8000-000000000001\ncolor: \"blue\"\n"
                       "folder: \"Work \\\"2\\\"\"\npinned: true\n"
                       "created: 2026-01-02T03:04:05.000Z\nmodified: 2026-02-03T04:05:06.000Z\n"
                       "tags: [\"idea\"]\nimages: [\"Plan 1.png\"]\n---\n\n"
                       "Plan\nmore\n\n![](Plan%201.png)\n"));
    }

    void theExportWritesUniqueFilesCopiesPicturesAndIndexesThem()
    {
        const QString images = f->dir.filePath("images");
        writeFile(images + "/A.png", "png bytes");
        const QList<NotesExport::File> files =
            NotesExport::plan({item("Idea", {}, {"A.png", "gone.png"}),
                               item("idea", QStringLiteral("Work")), item("index")},
                              images);
        QStringList names;
        for (const NotesExport::File& file : files) {
            names << file.name;
        }
        QCOMPARE(names,
                 QStringList({"Idea-1.png", "Idea.md", "idea 2.md", "index 2.md", "index.md"}));
        QCOMPARE(files.last().bytes, QByteArray("# Notes\n\n- [Idea](Idea.md)\n"
                                                "- [index](index%202.md)\n\n## Work\n\n"
                                                "- [idea](idea%202.md)\n"));
        const QString out = f->dir.filePath("out/sub");
        QString error;
        QVERIFY2(NotesExport::write(out, files, &error), qPrintable(error));
        QCOMPARE(readFile(out + "/Idea-1.png"), QByteArray("png bytes"));
        QVERIFY(readFile(out + "/Idea.md").endsWith("more\n\n![](Idea-1.png)\n"));
        QCOMPARE(QDir(out).entryList(QDir::Files).size(), 5);
    }
};

static RegisterSuite<NotesExportTest> registered;
#include "NotesExportTest.moc"
