#include "StoreFixture.h"
#include "model/NotesExport.h"
#include "model/NotesImport.h"

// Notes as files: an export that any disk and Markdown editor take and that imports back whole,
// and notes brought in from text files and Xpad's pads, each only once.
class NoteFilesTest : public QObject, private StoreFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() { setUp(this); }
    void cleanup() { tearDown(); }

    void fileNamesAreSafeOnEveryDisk_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("stem");
        QTest::newRow("separators") << "a/b\\c: d?*"
                                    << "a b c d";
        QTest::newRow("hidden") << "..rc"
                                << "rc";
        QTest::newRow("markdown") << "#1 [todo]"
                                  << "1 todo";
        QTest::newRow("empty") << " \t "
                               << "Note";
        QTest::newRow("long, accents kept")
            << "Grüße" + QString(70, u'x') << "Grüße" + QString(55, u'x');
    }
    void fileNamesAreSafeOnEveryDisk()
    {
        QFETCH(QString, title);
        QTEST(NotesExport::stemOf(title), "stem");
    }

    void anExportOpensAsMarkdownAndComesBackWhole()
    {
        NotesExport::Item item{record("Plan\n\n- [ ] one\n"), "Plan", {"#idea"}};
        item.record.id = QUuid::fromString(QStringLiteral("11111111-0000-4000-8000-000000000001"));
        item.record.color = QStringLiteral("blue");
        item.record.folder = QStringLiteral("Work \\ \"Q\"");
        item.record.pinned = true;
        item.record.created = utc(2026, 1, 2, 3, 4, 5).addMSecs(678);
        item.record.modified = utc(2026, 2, 3);
        const QString images = f->dir.filePath("images");
        writeFile(images + "/A.png", "first");
        writeFile(images + "/B.png", "second");
        item.record.images = QStringList{"A.png", "gone.png", "B.png"};
        const QList<NotesExport::Item> items{
            item, {record("plan"), "plan", {}}, {record("x"), "index", {}}};
        const QList<NotesExport::File> files = NotesExport::plan(items, images);
        QCOMPARE(
            files.at(2).bytes,
            QByteArray("---\nid: 11111111-0000-4000-8000-000000000001\ncolor: \"blue\"\n"
                       "folder: \"Work \\\\ \\\"Q\\\"\"\npinned: true\n"
                       "created: 2026-01-02T03:04:05.678Z\nmodified: 2026-02-03T00:00:00.000Z\n"
                       "tags: [\"idea\"]\nimages: [\"Plan-1.png\", \"Plan-2.png\"]\n---\n\n"
                       "Plan\n\n- [ ] one\n\n\n![](Plan-1.png)\n\n![](Plan-2.png)\n"));
        QCOMPARE(files.last().bytes,
                 QByteArray("# Notes\n\n- [plan](plan%202.md)\n- [index](index%202.md)\n\n"
                            "## Work \\ \"Q\"\n\n- [Plan](Plan.md)\n"));
        const QString out = f->dir.filePath("export");
        QString error;
        QVERIFY2(NotesExport::write(out, files, &error), qPrintable(error));

        const QList<NotesImport::Note> back = NotesImport::read(out);
        QCOMPARE(back.size(), 3);
        NoteData r = back.at(0).record;
        QCOMPARE(readFile(back.at(0).pictures.at(1)), QByteArray("second"));
        r.images = item.record.images;
        QCOMPARE(r, item.record);
        QCOMPARE(back.at(1).record.id, items.at(2).record.id);
    }

    void xpadPadsAndPlainFilesBecomeNotes()
    {
        const QString pads = f->dir.filePath("config/xpad");
        writeFile(pads + "/info-AB12", "x 100\ny 240\nhidden 0\n"
                                       "back rgb(255,40,40)\ncontent content-AB12\n");
        writeFile(pads + "/content-AB12", "Call the bank\r\n");
        writeFile(pads + "/info-CD34", "hidden 1\nback rgb(173,216,230)\ncontent content-CD34\n");
        writeFile(pads + "/content-CD34", "tucked");
        writeFile(pads + "/info-EF56", "content content-missing\n");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(f->dir.filePath("config")));
        const QList<NotesImport::Note> xpad = NotesImport::read("xpad");
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(xpad.size(), 2);
        QCOMPARE(xpad.at(0).record.text, "Call the bank");
        QCOMPARE(xpad.at(0).record.color, "pink");
        QCOMPARE(xpad.at(0).shownAt, QPoint(100, 240));
        QCOMPARE(xpad.at(1).record.color, "blue");
        QVERIFY(!xpad.at(1).shownAt);
        // The same pad always gets the same id: a second import finds it.
        QCOMPARE(NotesImport::read(pads).at(0).record.id, xpad.at(0).record.id);

        writeFile(f->dir.filePath("plain/todo.txt"), "\xEF\xBB\xBFTodo\n\n");
        writeFile(f->dir.filePath("plain/notes.md"), "---\ntitle: x\n---\n\n# Heading\n");
        writeFile(f->dir.filePath("plain/photo.jpg"), "not a note");
        const QList<NotesImport::Note> plain = NotesImport::read(f->dir.filePath("plain"));
        QCOMPARE(plain.size(), 2);
        QCOMPARE(plain.at(0).record.text, "# Heading");
        QCOMPARE(plain.at(1).record.text, "Todo");

        // KNotes: a maildir message (an encoded subject, quoted-printable text, a date), one
        // that is no plain text, and the older calendar with its folded, escaped lines.
        const QString box = f->dir.filePath("data/notes/abc/cur/");
        writeFile(box + "1.note:2,S", "Subject: =?UTF-8?B?R3LDvMOfZQ==?=\nDate: Tue, 1 Dec 2026 "
                                      "10:00:00 +0100\nContent-Transfer-Encoding: quoted-printable"
                                      "\n\nzu Hause =\nanrufen=3D\n");
        writeFile(box + "2.note", "Subject: x\nContent-Type: multipart/mixed\n\n--b\n");
        writeFile(f->dir.filePath("data/knotes/notes.ics"),
                  "BEGIN:VJOURNAL\r\nUID:u1\r\nSUMMARY:List\r\nDESCRIPTION:milk\\neg\r\n gs\\, "
                  "bread\r\nCREATED:20200102T030405Z\r\nEND:VJOURNAL\r\n");
        qputenv("XDG_DATA_HOME", QFile::encodeName(f->dir.filePath("data")));
        const QList<NotesImport::Note> knotes = NotesImport::read("knotes");
        qunsetenv("XDG_DATA_HOME");
        QCOMPARE(knotes.size(), 2);
        QCOMPARE(knotes.at(0).record.text, "Grüße\nzu Hause anrufen=");
        QCOMPARE(knotes.at(0).record.created, QDateTime(QDate(2026, 12, 1), QTime(9, 0), Qt::UTC));
        QCOMPARE(knotes.at(1).record.text, "List\nmilk\neggs, bread");
        QCOMPARE(knotes.at(1).record.created,
                 QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5), Qt::UTC));
    }

    void coloursGoToTheNearestPaper_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QString>("paper");
        QTest::newRow("red") << QColor(255, 0, 0) << "pink";
        QTest::newRow("orange") << QColor(255, 150, 0) << "yellow";
        QTest::newRow("cyan") << QColor(0, 200, 220) << "blue";
        QTest::newRow("lime") << QColor(150, 230, 90) << "green";
        QTest::newRow("white") << QColor(250, 250, 250) << "yellow";
    }
    void coloursGoToTheNearestPaper()
    {
        QFETCH(QColor, color);
        QTEST(NotesImport::paperFor(color), "paper");
    }
};

static RegisterSuite<NoteFilesTest> registered;
#include "NoteFilesTest.moc"
