#include "model/Backups.h"

#include "StoreFixture.h"

// Daily copies of the notes outside the synced folder: which survive a month of days, and that
// a copy is whole.
class BackupsTest : public QObject, private StoreFixture {
    Q_OBJECT

    static QList<QDateTime> atNine(const QList<int>& julyDays)
    {
        QList<QDateTime> all;
        for (const int day : julyDays) {
            all << (day > 0 ? utc(2026, 7, day, 9) : utc(2026, 6, 30 + day, 9));
        }
        return all;
    }

private Q_SLOTS:
    void init() { setUp(this); }
    void cleanup() { tearDown(); }

    void aMonthOfDaysLeavesSevenDailyAndFourWeeklyCopies()
    {
        // From Monday 1 June to Friday 10 July, one copy at nine each day, rotated each day,
        // and one more on the last day (before an import).
        QList<QDateTime> made;
        for (QDate day(2026, 6, 1); day <= QDate(2026, 7, 10); day = day.addDays(1)) {
            made << QDateTime(day, QTime(9, 0), Qt::UTC);
            if (day == QDate(2026, 7, 10)) {
                made << utc(2026, 7, 10, 15);
            }
            made = Backups::kept(made, day);
        }
        // Days are July's, or June's counted back from 0 = 30 June.
        QCOMPARE(made, QList<QDateTime>{utc(2026, 7, 10, 15)} + atNine({10, 9, 8, 7, 6, 5, 4, 3}) +
                           atNine({-2, -9, -16}));
        // A month away: the copies from before it stay.
        QCOMPARE(Backups::kept(atNine({1, 2, 3}), QDate(2026, 9, 1)), atNine({3, 2, 1}));
    }

    void aCopyIsWholeListedAndRotated()
    {
        const QString folder = f->dir.filePath("state/backups");
        QString error;
        QVERIFY(!Backups::make(folder, path, 0, utc(2026, 7, 1), &error));
        writeFile(path, Store::encode({record("one"), record("two")}));
        QVERIFY(TombstoneFile::write(TombstoneFile::pathBeside(path),
                                     {{QUuid::createUuid(), utc(2026, 6, 1)}}, &error));
        for (int day = 1; day <= 9; ++day) {
            QVERIFY2(Backups::make(folder, path, day, utc(2026, 7, day, 8), &error),
                     qPrintable(error));
            QVERIFY(!Backups::dueOn(folder, utc(2026, 7, day, 23)));
        }
        const QList<Backups::Backup> all = Backups::list(folder);
        QCOMPARE(all.size(), 8); // seven days and the week before them
        QCOMPARE(all.first().notes, 9);
        QCOMPARE(readFile(all.first().path + "/notes.json"), readFile(path));
        QCOMPARE(readFile(all.first().path + "/notes.tombstones.json"),
                 readFile(TombstoneFile::pathBeside(path)));
    }
};

static RegisterSuite<BackupsTest> registered;
#include "BackupsTest.moc"
