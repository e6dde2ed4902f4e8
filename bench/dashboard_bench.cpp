#include "BenchSupport.h"
#include "controller/AppController.h"
#include "dashboard/Counts.h"
#include "dashboard/ListContents.h"
#include "model/NoteModel.h"

#include <QDateTime>
#include <benchmark/benchmark.h>

namespace {

// What the list does at each keystroke in the search field: filter, search, sort and group
// every note. The text index lives as long as the dashboard, so only the first keystroke
// after a note's text changed pays for folding its case.
void DashboardKeystroke(benchmark::State& state)
{
    const auto app = bench::makeController();
    const QList<NoteModel*> notes = bench::sampleNotes(static_cast<int>(state.range(0)));
    const NoteFilter filter = NoteFilter::all();
    const QStringList typed{QStringLiteral("m"), QStringLiteral("mi"), QStringLiteral("mil"),
                            QStringLiteral("milk"), QStringLiteral(" milk ")};
    dash::TextIndex index;
    dash::visibleNotes(notes, filter, typed.first(), index);
    qsizetype shown = 0;
    int key = 0;
    for (auto _ : state) {
        const QList<NoteModel*> visible =
            dash::visibleNotes(notes, filter, typed.at(key++ % typed.size()), index);
        const QList<dash::Group> groups =
            dash::groupNotes(visible, filter, QDateTime::currentDateTimeUtc());
        shown += visible.size();
        benchmark::DoNotOptimize(groups);
    }
    state.counters["shown"] =
        benchmark::Counter(static_cast<double>(shown), benchmark::Counter::kAvgIterations);
    qDeleteAll(notes);
}
BENCHMARK(DashboardKeystroke)->Arg(10000)->Unit(benchmark::kMillisecond);

// The first keystroke after the dashboard opens, when no note's folded text is known yet.
void DashboardFirstKeystroke(benchmark::State& state)
{
    const auto app = bench::makeController();
    const QList<NoteModel*> notes = bench::sampleNotes(static_cast<int>(state.range(0)));
    const NoteFilter filter = NoteFilter::all();
    for (auto _ : state) {
        dash::TextIndex index;
        const QList<NoteModel*> visible =
            dash::visibleNotes(notes, filter, QStringLiteral("milk"), index);
        benchmark::DoNotOptimize(
            dash::groupNotes(visible, filter, QDateTime::currentDateTimeUtc()));
    }
    qDeleteAll(notes);
}
BENCHMARK(DashboardFirstKeystroke)->Arg(10000)->Unit(benchmark::kMillisecond);

// A tag in the sidebar chosen, then the sidebar's badges and tag list rebuilt.
void DashboardTagFilterAndSidebar(benchmark::State& state)
{
    const auto app = bench::makeController();
    const QList<NoteModel*> notes = bench::sampleNotes(static_cast<int>(state.range(0)));
    const NoteFilter filter = NoteFilter::tag(QStringLiteral("#work"));
    dash::TextIndex index;
    dash::allTags(notes, index);
    for (auto _ : state) {
        const QList<NoteModel*> visible = dash::visibleNotes(notes, filter, QString(), index);
        benchmark::DoNotOptimize(
            dash::groupNotes(visible, filter, QDateTime::currentDateTimeUtc()));
        benchmark::DoNotOptimize(dash::Counts(notes));
        benchmark::DoNotOptimize(dash::allTags(notes, index));
    }
    qDeleteAll(notes);
}
BENCHMARK(DashboardTagFilterAndSidebar)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
