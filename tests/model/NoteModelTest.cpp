#include "StoreFixture.h"
#include "model/Formatting.h"
#include "model/NoteFilter.h"
#include "model/RelativeTime.h"
#include "model/ReminderTimes.h"
#include "model/RichPaste.h"
#include "model/Snapshots.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSet>

namespace {

const QDateTime now = utc(2026, 1, 7, 15); // a Wednesday afternoon; the tests run on UTC

QList<NoteModel*> pointers(std::vector<std::unique_ptr<NoteModel>>& owned)
{
    QList<NoteModel*> notes;
    std::ranges::transform(owned, std::back_inserter(notes), &std::unique_ptr<NoteModel>::get);
    return notes;
}

} // namespace

// One note: what its text shows (title, preview, tags), the filters and time labels it is
// listed by, what assigning through it saves, and the snapshots the writer takes of it.
class NoteModelTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Fixture> f;

private Q_SLOTS:
    void init() { f = std::make_unique<Fixture>(now); }
    void cleanup() { f.reset(); }

    void titleAndPreviewSkipBlankLinesAndTrimSpaces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("preview");
        const QString none = "No additional text";
        QTest::newRow("empty") << u""_qs << u"New Note"_qs << none;
        QTest::newRow("only blanks") << u"\n  \n\t\n"_qs << u"New Note"_qs << none;
        QTest::newRow("blank lines first")
            << u"\n \n\t\n  Hello \t\n\n World  \nx"_qs << u"Hello"_qs << u"World"_qs;
        QTest::newRow("other spaces")
            << u"\u00a0\u3000Title\u2003\n\u3000Next\u3000"_qs << u"Title"_qs << u"Next"_qs;
        QTest::newRow("separators are blank") << u"\u2028\n\u2029 \nReal"_qs << u"Real"_qs << none;
        QTest::newRow("inner spaces kept")
            << u"  a  b  \n c \t d "_qs << u"a  b"_qs << u"c \t d"_qs;
        QTest::newRow("astral") << u" 😀 smile 😀 \n𝒳 math"_qs << u"😀 smile 😀"_qs << u"𝒳 math"_qs;
        // A CR LF pair is a single character, so it never ends a line.
        QTest::newRow("cr lf") << u"Title\r\nBody"_qs << u"Title\r\nBody"_qs << none;
        QTest::newRow("cr lf then lf") << u"A\r\n\nB\n\rC"_qs << u"A\r\n"_qs << u"B"_qs;
        // A line of megabytes (a log pasted whole) is never laid out whole on a card, nor read
        // past its first megabyte.
        QTest::newRow("long lines") << QString(5000, u'x') + u"\n"_qs + QString(2000, u'y')
                                    << QString(1000, u'x') << QString(1000, u'y');
        // A checklist's or a list's title is its words; its preview shows the box or bullet.
        QTest::newRow("items") << u"- [ ] milk\n  - [x] eggs"_qs << u"milk"_qs << u"\u2611 eggs"_qs;
        QTest::newRow("bullets") << u"* one\n- two"_qs << u"one"_qs << u"\u2022 two"_qs;
        QTest::newRow("item without words") << u"- [ ] \t\n- "_qs << u"\u2610"_qs << u"\u2022"_qs;
        QTest::newRow("not items")
            << u"-[ ] tight\n- [ ]glued"_qs << u"-[ ] tight"_qs << u"\u2022 [ ]glued"_qs;
        // Formatting markers are not words; markers alone are.
        QTest::newRow("formatting")
            << u"# Groceries\n**milk** and *eggs*"_qs << u"Groceries"_qs << u"milk and eggs"_qs;
        QTest::newRow("formatted items")
            << u"- [ ] ~~old~~ **new**\n* `a*b*`"_qs << u"old new"_qs << u"\u2022 a*b*"_qs;
        QTest::newRow("only markers") << u"#\n` `\n"_qs << u"#"_qs << u"` `"_qs;
        QTest::newRow("heading without words") << u"## \n\\*x*"_qs << u"##"_qs << u"*x*"_qs;
        QTest::newRow("10 MB line")
            << QString(10'000'000, u'x') + u"\nMore"_qs << QString(1000, u'x') << none;
    }

    void titleAndPreviewSkipBlankLinesAndTrimSpaces()
    {
        QFETCH(QString, text);
        const NoteModel note(record(text), nullptr);
        QTEST(note.title(), "title");
        QTEST(note.preview(), "preview");
    }

    // The formatting of one line, written as tags around the words the markers style.
    void formattingMarkersStyleTheirLineOnly_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("styled");
        QTest::newRow("each style") << "**b** *i* ~~s~~ `c`"
                                    << "<b>b</b> <i>i</i> <s>s</s> <c>c</c>";
        QTest::newRow("nested") << "**a *b* c** ~~*d*~~"
                                << "<b>a <i>b</i> c</b> <s><i>d</i></s>";
        QTest::newRow("bold italic run") << "***both***"
                                         << "<b><i>both</i></b>";
        QTest::newRow("not closed or spaced") << "*a **b ~c~ * d *"
                                              << "*a **b ~c~ * d *";
        QTest::newRow("empty") << "**** `` ~~~~ **"
                               << "**** `` ~~~~ **";
        QTest::newRow("escaped") << "\\*no\\* \\**x**"
                                 << "*no* **x**";
        QTest::newRow("code hides markers") << "`**x** \\*` **y**"
                                            << "<c>**x** \\*</c> <b>y</b>";
        QTest::newRow("headings") << "### **Plan**"
                                  << "h3 <b>Plan</b>";
        QTest::newRow("not headings") << "#tag ####### x  # y"
                                      << "#tag ####### x  # y";
        QTest::newRow("item") << "- [x] **milk** *2*"
                              << "- [x] <b>milk</b> <i>2</i>";
        QTest::newRow("bullet is no italic") << "* x*y* "
                                             << "* x<i>y</i> ";
        QTest::newRow("item is no heading") << "- # x"
                                            << "- # x";
        QTest::newRow("within words") << "2*3*4 snake**case**"
                                      << "2<i>3</i>4 snake<b>case</b>";
    }

    void formattingMarkersStyleTheirLineOnly()
    {
        QFETCH(QString, line);
        const formatting::Line parsed = formatting::parse(line);
        const auto& spans = parsed.spans;
        QString styled = parsed.heading > 0 ? u"h%1 "_qs.arg(parsed.heading) : QString();
        const QString tags[] = {"b", "i", "s", "c"};
        for (qsizetype at = parsed.headingMarker; at <= line.size(); ++at) {
            for (auto span = spans.rbegin(); span != spans.rend(); ++span) {
                styled += at == span->wordsEnd() ? "</" + tags[int(span->style)] + ">" : "";
            }
            for (const formatting::Span& span : spans) {
                styled += at == span.wordsStart() ? "<" + tags[int(span.style)] + ">" : "";
            }
            const bool marker = std::ranges::any_of(spans, [at](const formatting::Span& span) {
                return (at >= span.start && at < span.wordsStart()) ||
                       (at >= span.wordsEnd() && at < span.end);
            });
            if (at < line.size() && !marker && !std::ranges::count(parsed.escapes, at)) {
                styled += line[at];
            }
        }
        QTEST(styled, "styled");
        styled.remove(QRegularExpression("<[^>]*>")).remove(QRegularExpression("^h\\d "));
        QCOMPARE(formatting::plain(line), styled);
    }

    void richTextPastesAsMarkers_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("text");
        QTest::newRow("styles") << "<p>a <b>bold</b>, <i>it</i> <s>gone</s> <span "
                                   "style='font-weight:600'>semi</span></p>"
                                << "a **bold**, *it* ~~gone~~ **semi**";
        QTest::newRow("nested, spaces outside") << "<b>x <i>y </i></b>z"
                                                << "**x *y*** z";
        QTest::newRow("lists") << "<ul><li>milk</li><li>eggs<ul><li>free range</li></ul></li></ul>"
                                  "<ol><li>one</li></ol>"
                               << "- milk\n- eggs\n  - free range\n- one";
        QTest::newRow("checkboxes")
            << "<ul><li><input type=checkbox checked> done</li><li><input type=\"checkbox\" "
               "class=checked> todo</li></ul><p><INPUT TYPE='checkbox'> x</p>"
            << "- [x] done\n- [ ] todo\n- [ ] x";
        QTest::newRow("headings, breaks") << "<h2>Plan</h2><p><b>a<br>b</b> &nbsp;c</p>"
                                          << "## Plan\n**a**\n**b**  c";
        QTest::newRow("the rest plain")
            << "<p style='color:red'><a href='x'>link</a> <u>under</u> <code>`c`</code></p>"
            << "link under `c`";
        QTest::newRow("too long to convert") << QString(1100 * 1024, u'x') << QString();
    }

    void richTextPastesAsMarkers()
    {
        QFETCH(QString, html);
        QTEST(formatting::fromHtml(html), "text");
    }

    void tagsAreHashWordsLowerCasedInOrder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("tags");
        QTest::newRow("none") << "##x #a#b # x#y #! plain" << QStringList();
        QTest::newRow("outer punctuation")
            << "(#Work), #plan! «#Quote» #tag… ¿#why?"
            << QStringList{"#work", "#plan", "#quote", "#tag", "#why"};
        QTest::newRow("inner punctuation and symbols")
            << "#ok-go #it's #a_b #$ #+1" << QStringList{"#ok-go", "#it's", "#a_b", "#$", "#+1"};
        QTest::newRow("duplicates") << "#Work and #work" << QStringList{"#work", "#work"};
        QTest::newRow("any white space") << u"#a\u00a0#b\u3000#c\r\n#d\t#e\u2028#f"_qs
                                         << QStringList{"#a", "#b", "#c", "#d", "#e", "#f"};
        QTest::newRow("letters") << u"#ÜBER #日本 #Ωmega"_qs
                                 << QStringList{"#über", "#日本", "#ωmega"};
        // Length counts characters as a reader sees them, not code units.
        QTest::newRow("emoji") << u"#😀 #👍🏽 #\u0301"_qs << QStringList{"#😀", "#👍🏽"};
    }

    void tagsAreHashWordsLowerCasedInOrder()
    {
        QFETCH(QString, text);
        QTEST(NoteModel(record(text)).tags(), "tags");
    }

    void filtersMatchExactlyAndRecentlyDeletedIsExclusive()
    {
        NoteData r;
        std::tie(r.text, r.pinned, r.onScreen, r.folder, r.color) =
            std::tuple(u"Meeting #Plan"_qs, true, true, u"Work"_qs, u"blue"_qs);
        const NoteModel live(r, nullptr);
        r.deletedAt = now;
        const NoteModel gone(r, nullptr);
        for (const NoteFilter& filter :
             {NoteFilter::all(), NoteFilter::pinned(), NoteFilter::onScreen(),
              NoteFilter::folder("Work"), NoteFilter::color("blue"), NoteFilter::tag("#plan")}) {
            QVERIFY(matches(live, filter) && !matches(gone, filter));
        }
        QVERIFY(matches(gone, NoteFilter::deleted()) && !matches(live, NoteFilter::deleted()));
        // Exact comparisons only.
        for (const NoteFilter& filter :
             {NoteFilter::folder("work"), NoteFilter::folder("Work "), NoteFilter::tag("#Plan"),
              NoteFilter::tag("#pla"), NoteFilter::color("Blue")}) {
            QVERIFY(!matches(live, filter));
        }
        // Filters serve as keys.
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

    // The one-choice reminder times and how a reminder's time reads.
    void reminderChoicesAndLabels_data()
    {
        using reminders::Choice;
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<int>("choice");
        QTest::addColumn<QDateTime>("expected"); // invalid: passed, not offered
        QTest::addColumn<QString>("label");
        const QDateTime monday = utc(2026, 1, 12, 8);
        QTest::newRow("later today")
            << now << int(Choice::LaterToday) << utc(2026, 1, 7, 18) << "Today, 6:00 PM";
        QTest::newRow("this evening")
            << now << int(Choice::ThisEvening) << utc(2026, 1, 7, 18) << "Today, 6:00 PM";
        QTest::newRow("this evening, after six")
            << utc(2026, 1, 7, 18) << int(Choice::ThisEvening) << QDateTime() << "";
        QTest::newRow("later today, late") << utc(2026, 1, 7, 22) << int(Choice::LaterToday)
                                           << utc(2026, 1, 8, 1) << "Tomorrow, 1:00 AM";
        QTest::newRow("tomorrow morning, at midnight")
            << utc(2026, 1, 7, 23, 59, 59) << int(Choice::TomorrowMorning) << utc(2026, 1, 8, 9)
            << "Tomorrow, 9:00 AM";
        QTest::newRow("next week, midweek")
            << now << int(Choice::NextWeek) << utc(2026, 1, 12, 9) << "Monday, 9:00 AM";
        QTest::newRow("next week, on a Sunday") << utc(2026, 1, 11, 20) << int(Choice::NextWeek)
                                                << utc(2026, 1, 12, 9) << "Tomorrow, 9:00 AM";
        QTest::newRow("next week, on a Monday")
            << monday << int(Choice::NextWeek) << utc(2026, 1, 19, 9) << "1/19/2026, 9:00 AM";
    }

    void reminderChoicesAndLabels()
    {
        QFETCH(QDateTime, at);
        QFETCH(int, choice);
        QFETCH(QDateTime, expected);
        const std::optional<QDateTime> when = reminders::choiceTime(reminders::Choice(choice), at);
        QCOMPARE(when.value_or(QDateTime()), expected);
        QTEST(when ? reminders::label(*when, at) : QString(), "label");
    }

    // No locale shows seconds, and every locale gets a date made of numbers.
    void timesAndDatesPerLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("minuteAgo");
        QTest::addColumn<QString>("weekAgo");
        QTest::newRow("C") << QLocale::c() << u"13:57"_qs << u"2026-11-16"_qs << u"14:59"_qs
                           << u"2025-12-31"_qs;
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << u"13:57"_qs
                               << u"16.11.2026"_qs << u"14:59"_qs << u"31.12.2025"_qs;
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << u"1:57 PM"_qs
                               << u"11/16/2026"_qs << u"2:59 PM"_qs << u"12/31/2025"_qs;
        QTest::newRow("fi_FI") << QLocale(QLocale::Finnish, QLocale::Finland) << u"13.57"_qs
                               << u"16.11.2026"_qs << u"14.59"_qs << u"31.12.2025"_qs;
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

    void assigningSavesAndOnlyTextTouchesModified()
    {
        AppController& app = f->launch();
        QDateTime& clock = f->today;
        // What the writer's thread has written by now, the last change included.
        const auto saved = [this](const char* key) { return f->savedNotes().at(0)[key]; };
        auto* note = new NoteModel(NoteData());
        app.setNotes({note});
        QSignalSpy told(note, &NoteModel::willChange);
        clock = clock.addSecs(60);
        note->setText("Hello");
        QCOMPARE(saved("text").toString(), "Hello");
        QCOMPARE(saved("modified").toDouble(), Fixture::referenceSeconds(clock));

        const QDateTime typed = clock;
        clock = clock.addSecs(60);
        QVERIFY(QFile::remove(f->notesPath()));
        note->setColor("yellow"); // the same colour again still tells and saves
        QVERIFY(told.size() >= 3);
        QCOMPARE(saved("color").toString(), "yellow");
        QCOMPARE(saved("modified").toDouble(), Fixture::referenceSeconds(typed));

        QVERIFY(QFile::remove(f->notesPath()));
        note->setFolded(true);
        note->setPaperW(180);
        app.writer().drain();
        QVERIFY(!QFile::exists(f->notesPath()));
        note->setPinned(true);
        QCOMPARE(saved("pw").toDouble(), 180.0);

        // Without its controller a note still takes assignments but saves nothing.
        note->setParent(nullptr);
        f->app.reset();
        QVERIFY(QFile::remove(f->notesPath()));
        note->setText("still typed");
        QCOMPARE(note->modified(), clock);
        QVERIFY(!QFile::exists(f->notesPath()));
        delete note;
    }

    // A snapshot that re-reads only the notes changed since the last one holds exactly what
    // reading every note would, whatever changed and however; one handed out never changes.
    void snapshotsMatchAFullReadAfterEveryKindOfChange()
    {
        std::vector<std::unique_ptr<NoteModel>> owned;
        for (int i = 0; i < 5; ++i) {
            owned.push_back(std::make_unique<NoteModel>(record(QStringLiteral("note %1").arg(i))));
        }
        Snapshots snapshots;
        const auto same = [&] {
            const QList<NoteModel*> notes = pointers(owned);
            return snapshots.take(notes).records == Store::snapshot(notes).records;
        };
        QVERIFY(same());
        const Store::Snapshot held = snapshots.take(pointers(owned));

        owned[1]->setText(QStringLiteral("typed")); // a key
        QVERIFY(same());
        owned[2]->setFolded(true); // no save of its own: goes with the next
        owned[3]->setPaperW(300);
        QVERIFY(same());
        owned[4]->origin = QPointF(40, -12); // moved without an assignment
        QVERIFY(same());
        owned[0]->origin = QPointF(qQNaN(), 0); // never equal to itself
        QVERIFY(qIsNaN(snapshots.take(pointers(owned)).records.at(0).x));
        owned[0]->origin = QPointF(3, 4);
        QVERIFY(same());

        owned.erase(owned.begin() + 2); // deleted
        QVERIFY(same());
        // Added, maybe at a freed address, and another made anew at the very same address.
        owned.push_back(std::make_unique<NoteModel>(record(QStringLiteral("new"))));
        QVERIFY(same());
        owned[3]->~NoteModel();
        new (owned[3].get()) NoteModel(record(QStringLiteral("in its place")));
        QVERIFY(same());
        std::swap(owned[0], owned[1]); // reordered
        QVERIFY(same());

        // What the writer may still be writing is untouched by all of the above.
        QCOMPARE(held.records.size(), 5);
        QCOMPARE(held.records.at(1).text, QStringLiteral("note 1"));
        QCOMPARE(held.records.at(4).x, 0.0);
    }
};

static RegisterSuite<NoteModelTest> registered;
#include "NoteModelTest.moc"
