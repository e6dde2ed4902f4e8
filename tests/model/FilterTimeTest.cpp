#include "Suites.h"
#include "model/NoteFilter.h"
#include "model/NoteModel.h"
#include "model/RelativeTime.h"
#include "platform/Clock.h"

#include <QLocale>
#include <QSet>
#include <QVariant>

namespace {

// Wednesday 7 January 2026, 15:00 UTC (the tests run on UTC).
const QDateTime now = utc(2026, 1, 7, 15, 0, 0);

} // namespace

class FilterTimeTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        platform::setNow([] { return now; });
    }

    void cleanupTestCase()
    {
        platform::setNow({});
        QLocale::setDefault(QLocale::c());
    }

    void recentlyDeletedIsExclusive()
    {
        NoteData r;
        r.text = QStringLiteral("#plan");
        r.pinned = true;
        r.onScreen = true;
        r.folder = QStringLiteral("Work");
        r.color = QStringLiteral("blue");
        r.deletedAt = now;
        const NoteModel gone(r, nullptr);
        QVERIFY(matches(gone, NoteFilter::deleted()));
        for (const NoteFilter& f :
             {NoteFilter::all(), NoteFilter::pinned(), NoteFilter::onScreen(),
              NoteFilter::folder("Work"), NoteFilter::color("blue"), NoteFilter::tag("#plan")}) {
            QVERIFY(!matches(gone, f));
        }
        r.deletedAt.reset();
        const NoteModel live(r, nullptr);
        QVERIFY(!matches(live, NoteFilter::deleted()));
        for (const NoteFilter& f :
             {NoteFilter::all(), NoteFilter::pinned(), NoteFilter::onScreen(),
              NoteFilter::folder("Work"), NoteFilter::color("blue"), NoteFilter::tag("#plan")}) {
            QVERIFY(matches(live, f));
        }
    }

    void payloadsCompareExactly()
    {
        NoteData r;
        r.text = QStringLiteral("Meeting #Plan");
        const NoteModel n(r, nullptr); // folder Personal, colour yellow
        QVERIFY(!matches(n, NoteFilter::folder("personal")));
        QVERIFY(!matches(n, NoteFilter::folder("Personal ")));
        QVERIFY(matches(n, NoteFilter::folder("Personal")));
        QVERIFY(matches(n, NoteFilter::tag("#plan")));
        QVERIFY(!matches(n, NoteFilter::tag("#Plan")));
        QVERIFY(!matches(n, NoteFilter::tag("#pla")));
        QVERIFY(!matches(n, NoteFilter::color("Yellow")));
        QVERIFY(!matches(n, NoteFilter::pinned()));
        QVERIFY(!matches(n, NoteFilter::onScreen()));
    }

    void filtersServeAsKeys()
    {
        QVERIFY(NoteFilter::folder("a") != NoteFilter::tag("a"));
        QVERIFY(NoteFilter::folder("a") != NoteFilter::folder("A"));
        QVERIFY(NoteFilter::all() != NoteFilter::deleted());
        const QSet<NoteFilter> set{NoteFilter::folder("a"), NoteFilter::folder("a"),
                                   NoteFilter::color("a"), NoteFilter::pinned(),
                                   NoteFilter::pinned()};
        QCOMPARE(set.size(), 3);
        QVERIFY(set.contains(NoteFilter::color("a")));
        const QVariant v = QVariant::fromValue(NoteFilter::tag("#x"));
        QCOMPARE(v.value<NoteFilter>(), NoteFilter::tag("#x"));
    }

    void relativeTimeLabels_data()
    {
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QString>("label");
        QTest::newRow("30 s ago") << now.addSecs(-30) << "Just now";
        QTest::newRow("59.9 s ago") << now.addMSecs(-59900) << "Just now";
        QTest::newRow("later today") << now.addSecs(2 * 3600) << "Just now";
        QTest::newRow("a minute ago") << now.addSecs(-60) << "2:59 PM";
        QTest::newRow("2 h ago") << now.addSecs(-2 * 3600) << "1:00 PM";
        QTest::newRow("midnight today") << utc(2026, 1, 7) << "12:00 AM";
        QTest::newRow("last second of yesterday") << utc(2026, 1, 6, 23, 59, 59) << "Yesterday";
        QTest::newRow("start of yesterday") << utc(2026, 1, 6) << "Yesterday";
        QTest::newRow("3 days ago") << now.addDays(-3) << "Sunday";
        QTest::newRow("just under 6 days") << now.addSecs(-518399) << "Thursday";
        QTest::newRow("exactly 6 days") << now.addSecs(-518400) << "1/1/2026";
        QTest::newRow("last year") << utc(2025, 12, 5, 9) << "12/5/2025";
        QTest::newRow("tomorrow") << now.addDays(1) << "Thursday";
    }

    void relativeTimeLabels()
    {
        QFETCH(QDateTime, date);
        QFETCH(QString, label);
        QCOMPARE(relativeTime(date), label);
    }
};

static RegisterSuite<FilterTimeTest> registered;
#include "FilterTimeTest.moc"
