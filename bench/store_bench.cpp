#include "BenchSupport.h"
#include "controller/AppController.h"
#include "model/Merge.h"
#include "model/NoteModel.h"
#include "model/Store.h"

#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>

namespace {

// Every persisted change rewrites the whole file, so one save is what a keystroke costs.
void StoreSave(benchmark::State& state)
{
    const auto app = bench::makeController();
    const QList<NoteModel*> notes = bench::sampleNotes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Store::save(notes));
    }
    state.SetComplexityN(state.range(0));
    qDeleteAll(notes);
}
BENCHMARK(StoreSave)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

// The part of a save before the file is touched: live notes to records to JSON bytes.
void StoreEncode(benchmark::State& state)
{
    const auto app = bench::makeController();
    const QList<NoteModel*> notes = bench::sampleNotes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QList<NoteData> records;
        records.reserve(notes.size());
        for (const NoteModel* note : notes) {
            records << note->data();
        }
        benchmark::DoNotOptimize(Store::encode(records));
    }
    state.SetComplexityN(state.range(0));
    qDeleteAll(notes);
}
BENCHMARK(StoreEncode)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// Diagnostic: the same bytes written and renamed into place without flushing them to the
// disk, to tell the cost of the flush from the cost of the write.
void FileWriteWithoutFlush(benchmark::State& state)
{
    const auto app = bench::makeController();
    const QList<NoteModel*> notes = bench::sampleNotes(static_cast<int>(state.range(0)));
    QList<NoteData> records;
    for (const NoteModel* note : notes) {
        records << note->data();
    }
    const QByteArray bytes = Store::encode(records);
    const QString path = QDir(bench::dataDir()).filePath(QStringLiteral("unflushed.json"));
    for (auto _ : state) {
        QFile file(path + QStringLiteral(".tmp"));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            state.SkipWithError("write failed");
            break;
        }
        file.close();
        benchmark::DoNotOptimize(
            std::rename(qPrintable(path + QStringLiteral(".tmp")), qPrintable(path)));
    }
    qDeleteAll(notes);
}
BENCHMARK(FileWriteWithoutFlush)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// Start-up's read: the file decoded and each record made a live note.
void StoreLoad(benchmark::State& state)
{
    const auto app = bench::makeController();
    const QList<NoteModel*> written = bench::sampleNotes(static_cast<int>(state.range(0)));
    Store::save(written);
    qDeleteAll(written);
    for (auto _ : state) {
        const QList<NoteModel*> loaded = makeNotes(Store::load());
        if (loaded.size() != state.range(0)) {
            state.SkipWithError("the notes file did not load");
            break;
        }
        state.PauseTiming();
        qDeleteAll(loaded);
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(StoreLoad)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

// Title, preview and tags of one very long note (the dashboard row and the pad read them).
void LongNoteDerived(benchmark::State& state)
{
    NoteData record = bench::sampleRecords(1).first();
    record.text = bench::longText(100 * 1024);
    NoteModel note(record, nullptr);
    for (auto _ : state) {
        benchmark::DoNotOptimize(note.title());
        benchmark::DoNotOptimize(note.preview());
        benchmark::DoNotOptimize(note.tags());
    }
}
BENCHMARK(LongNoteDerived)->Unit(benchmark::kMillisecond);

// The part of a merge of notes changed outside that runs on the GUI thread (the file is read
// and decoded on a worker): another computer's file that changed ten notes in `count`.
void MergeOutside(benchmark::State& state)
{
    const QList<NoteData> local = bench::sampleRecords(static_cast<int>(state.range(0)));
    QList<NoteData> outside = local;
    for (int i = 0; i < 10; ++i) {
        NoteData& edited = outside[i * (outside.size() / 10)];
        edited.text += QStringLiteral(" (edited elsewhere)");
        edited.versions.insert(QStringLiteral("there"), 1);
        edited.x += 100;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (auto _ : state) {
        const Merge::Result r = Merge::merge(local, {}, outside, {}, now);
        benchmark::DoNotOptimize(r.changes());
    }
}
BENCHMARK(MergeOutside)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
