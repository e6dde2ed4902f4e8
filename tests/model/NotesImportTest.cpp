#include "model/NotesImport.h"

#include "StoreFixture.h"
#include "model/NotesExport.h"

// Notes brought in from files and from Xpad: an export comes back whole, and a pad keeps its
// text, its colour (as the nearest paper) and whether it was showing.
class NotesImportTest : public QObject, private StoreFixture {
    Q_OBJECT

private Q_SLOTS:
    void init() { setUp(this); }
    void cleanup() { tearDown(); }

    void anExportComesBackWhole()
    {
        NotesExport::Item item{record("Plan: \"A\"\n\n- [ ] one\n"), "Plan: \"A\"", {"#x"}};
        item.record.color = QStringLiteral("green");
        item.record.folder = QStringLiteral("Work \\ \"Q\"");
        item.record.pinned = true;
        item.record.created = utc(2026, 1, 2, 3, 4, 5).addMSecs(678);
        item.record.modified = utc(2026, 2, 3);
        const QString images = f->dir.filePath("images");
        writeFile(images + "/A.png", "first");
        writeFile(images + "/B.png", "second");
        item.record.images = QStringList{"A.png", "B.png"};
        const NotesExport::Item plain{record("just text"), "just text", {}};
        QString error;
        const QString out = f->dir.filePath("export");
        QVERIFY(NotesExport::write(out, NotesExport::plan({item, plain}, images), &error));

        const QList<NotesImport::Note> back = NotesImport::read(out);
        QCOMPARE(back.size(), 2);
        NoteData r = back.at(0).record;
        QCOMPARE(back.at(0).pictures.size(), 2);
        QCOMPARE(readFile(back.at(0).pictures.at(1)), QByteArray("second"));
        r.images = item.record.images;
        QCOMPARE(r, item.record);
        QCOMPARE(back.at(1).record.text, "just text");
        QCOMPARE(back.at(1).record.id, plain.record.id);
    }

    void xpadPadsAndPlainFilesBecomeNotes()
    {
        const QString pads = f->dir.filePath("config/xpad");
        writeFile(pads + "/info-AB12", "width 200\nheight 180\nx 100\ny 240\nhidden 0\n"
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
    }

    void coloursGoToTheNearestPaper_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QString>("paper");
        QTest::newRow("red") << QColor(255, 0, 0) << "pink";
        QTest::newRow("orange") << QColor(255, 150, 0) << "yellow";
        QTest::newRow("xpad yellow") << QColor(255, 238, 153) << "yellow";
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

static RegisterSuite<NotesImportTest> registered;
#include "NotesImportTest.moc"
