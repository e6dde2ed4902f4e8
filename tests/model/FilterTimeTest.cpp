#include "Suites.h"
#include "model/NoteFilter.h"
#include "model/NoteModel.h"
#include "model/RelativeTime.h"
#include "platform/Clock.h"

#include <QLocale>
#include <QSet>
#include <optional>

namespace {
const QDateTime now = utc(2026, 1, 7, 15); // a Wednesday afternoon; the tests run on UTC
}

class FilterTimeTest : public QObject {
    Q_OBJECT
    std::optional<platform::NowOverride> clock;

private Q_SLOTS:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        clock.emplace([] { return now; });
    }

    void cleanupTestCase() { clock.reset(); }

    void recentlyDeletedIsExclusive()
    {
        NoteData r;
        r.text = "Meeting #Plan";
        r.pinned = r.onScreen = true;
        r.folder = "Work";
        r.color = "blue";
        const NoteModel live(r, nullptr);
        r.deletedAt = now;
        const NoteModel gone(r, nullptr);
        for (const NoteFilter& f :
             {NoteFilter::all(), NoteFilter::pinned(), NoteFilter::onScreen(),
              NoteFilter::folder("Work"), NoteFilter::color("blue"), NoteFilter::tag("#plan")}) {
            QVERIFY(matches(live, f) && !matches(gone, f));
        }
        QVERIFY(matches(gone, NoteFilter::deleted()) && !matches(live, NoteFilter::deleted()));
        // Exact comparisons only.
        for (const NoteFilter& f :
             {NoteFilter::folder("work"), NoteFilter::folder("Work "), NoteFilter::tag("#Plan"),
              NoteFilter::tag("#pla"), NoteFilter::color("Blue")}) {
            QVERIFY(!matches(live, f));
        }
    }

    void filtersServeAsKeys()
    {
        QVERIFY(NoteFilter::folder("a") != NoteFilter::tag("a"));
        const QSet<NoteFilter> set{NoteFilter::folder("a"), NoteFilter::folder("a"),
                                   NoteFilter::color("a"),  NoteFilter::pinned(),
                                   NoteFilter::pinned(),    NoteFilter::all()};
        QCOMPARE(set.size(), 4);
        QCOMPARE(QVariant::fromValue(NoteFilter::tag("#x")).value<NoteFilter>(),
                 NoteFilter::tag("#x"));
    }

    void relativeTimeLabels_data()
    {
        QTest::addColumn<QDateTime>("date");
        QTest::addColumn<QString>("label");
        QTest::newRow("59.9 s ago") << now.addMSecs(-59900) << "Just now";
        QTest::newRow("later today") << now.addSecs(2 * 3600) << "Just now";
        QTest::newRow("a minute ago") << now.addSecs(-60) << "2:59 PM";
        QTest::newRow("midnight today") << utc(2026, 1, 7) << "12:00 AM";
        QTest::newRow("end of yesterday") << utc(2026, 1, 6, 23, 59, 59) << "Yesterday";
        QTest::newRow("start of yesterday") << utc(2026, 1, 6) << "Yesterday";
        QTest::newRow("3 days ago") << now.addDays(-3) << "Sunday";
        QTest::newRow("just under 6 days") << now.addSecs(-518399) << "Thursday";
        QTest::newRow("exactly 6 days") << now.addSecs(-518400) << "1/1/2026";
        QTest::newRow("tomorrow") << now.addDays(1) << "Thursday";
    }

    void relativeTimeLabels()
    {
        QFETCH(QDateTime, date);
        QTEST(relativeTime(date), "label");
    }

    // No locale shows seconds, and every locale gets a date made of numbers.
    void timesAndDatesPerLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("minuteAgo");
        QTest::addColumn<QString>("weekAgo");
        QTest::newRow("C") << QLocale::c() << "13:57"
                           << "2026-11-16"
                           << "14:59"
                           << "2025-12-31";
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "13:57"
                               << "16.11.2026"
                               << "14:59"
                               << "31.12.2025";
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "1:57 PM"
                               << "11/16/2026"
                               << "2:59 PM"
                               << "12/31/2025";
        QTest::newRow("fi_FI") << QLocale(QLocale::Finnish, QLocale::Finland) << "13.57"
                               << "16.11.2026"
                               << "14.59"
                               << "31.12.2025";
    }

    void timesAndDatesPerLocale()
    {
        QFETCH(QLocale, locale);
        QTEST(timeOfDay(QTime(13, 57, 41), locale), "time");
        QTEST(numericDate(QDate(2026, 11, 16), locale), "date");
        QLocale::setDefault(locale);
        const QString minuteAgo = relativeTime(now.addSecs(-60));
        const QString weekAgo = relativeTime(now.addDays(-7));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QTEST(minuteAgo, "minuteAgo");
        QTEST(weekAgo, "weekAgo");
    }
};

static RegisterSuite<FilterTimeTest> registered;
#include "FilterTimeTest.moc"
