#include "BenchSupport.h"
#include "controller/AppController.h"
#include "controller/NoteSizes.h"
#include "model/NoteModel.h"
#include "model/NotesWriter.h"
#include "noteview/NoteTextArea.h"
#include "noteview/NoteView.h"
#include "platform/Spelling.h"
#include "windows/Panel.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QThread>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A controller holding `count` notes; keys go to the first.
std::unique_ptr<AppController> controllerWith(int count)
{
    auto app = bench::makeController();
    app->setNotes(bench::sampleNotes(count));
    app->writer().drain();
    return app;
}

// What a key costs the GUI thread: the text changes and a snapshot goes to the writer. The
// CPU column is the GUI thread's own time; the writer works on its other thread meanwhile.
void KeystrokeGuiThread(benchmark::State& state)
{
    const auto app = controllerWith(static_cast<int>(state.range(0)));
    NoteModel* note = app->notes().front();
    QString text = note->text();
    for (auto _ : state) {
        text += u'k';
        note->setText(text);
    }
    app->writer().drain();
}
BENCHMARK(KeystrokeGuiThread)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// From the key to the file durable on disk, with the writer otherwise idle.
void KeystrokeToDisk(benchmark::State& state)
{
    const auto app = controllerWith(static_cast<int>(state.range(0)));
    NoteModel* note = app->notes().front();
    QString text = note->text();
    for (auto _ : state) {
        text += u'k';
        note->setText(text);
        if (!app->writer().drain()) {
            state.SkipWithError("the writer did not finish");
            break;
        }
    }
}
BENCHMARK(KeystrokeToDisk)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Twenty quick keys (one every 50 ms) into 100,000 notes, each save several times longer than
// the gap: no key waits for a save, and the last is on disk soon after it was typed.
void QuickKeys100k(benchmark::State& state)
{
    const auto app = controllerWith(100000);
    NoteModel* note = app->notes().front();
    QString text = note->text();
    double slowestKey = 0;
    double lastOnDisk = 0;
    for (auto _ : state) {
        for (int key = 0; key < 20; ++key) {
            const auto start = Clock::now();
            text += u'q';
            note->setText(text);
            slowestKey = std::max(slowestKey, msSince(start));
            QThread::msleep(50);
        }
        const auto last = Clock::now();
        app->writer().drain();
        lastOnDisk = msSince(last) + 50;
    }
    state.counters["slowest_key_ms"] = slowestKey;
    state.counters["last_key_on_disk_ms"] = lastOnDisk;
}
BENCHMARK(QuickKeys100k)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A key typed at the end of a paragraph of 120 words in a note's editor, spelling off (0) or
// on (1) with the installed English dictionary: the paragraph is styled and checked again.
void EditorKeyInParagraph(benchmark::State& state)
{
    platform::Spelling& spelling = platform::Spelling::shared();
    spelling.setEnabled(state.range(0) != 0);
    const auto start = Clock::now();
    while (state.range(0) != 0 && spelling.speller() == nullptr && msSince(start) < 10000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    if (state.range(0) != 0 && spelling.speller() == nullptr) {
        state.SkipWithError("no dictionary");
        return;
    }
    noteview::TextArea editor;
    editor.setNoteText(
        QStringLiteral("the quick brown fox jumps ovre the lazy dog, ").repeated(13));
    editor.moveCursor(QTextCursor::End);
    for (auto _ : state) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_K, Qt::NoModifier, QStringLiteral("k"));
        QApplication::sendEvent(&editor, &key);
    }
}
BENCHMARK(EditorKeyInParagraph)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// 148,000 lines, about 10 MB: a log file pasted into a note on the screen. The stall is the
// longest the event loop went without turning (a 1 ms timer's lateness, and the paste call
// itself); on disk is from the paste to the writer having written it.
QString hugeText()
{
    QString text;
    text.reserve(148000 * 72);
    for (int line = 0; line < 148000; ++line) {
        text += QStringLiteral("%1 GET /static/app.js 200 - the quick brown fox jumps over it\n")
                    .arg(line, 6, 10, QLatin1Char('0'));
    }
    return text;
}

void PasteTenMegabytes(benchmark::State& state)
{
    const auto app = controllerWith(10);
    NoteModel* note = app->notes().front();
    note->setOnScreen(true);
    Panel window(
        QRectF(QPointF(300, 300), QSizeF(app->sizes().winW(note), app->sizes().winH(note))));
    auto* view = new NoteView(note, app.get());
    window.setContent(view);
    window.show();
    QApplication::processEvents();
    const QString huge = hugeText();
    QApplication::clipboard()->setText(huge);
    const qsizetype expected = note->text().size() + huge.size();

    double stall = 0;
    double onDisk = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        view->editor()->moveCursor(QTextCursor::End);
        view->editor()->paste();
        stall = msSince(start);
        auto tick = Clock::now();
        QTimer beat;
        QObject::connect(&beat, &QTimer::timeout, [&] {
            stall = std::max(stall, msSince(tick) - 1);
            tick = Clock::now();
        });
        beat.start(1);
        while (note->text().size() != expected ||
               app->writer().state() != NotesWriter::State::Saved) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            if (msSince(start) > 60000) {
                state.SkipWithError("the paste was not saved within a minute");
                break;
            }
        }
        onDisk = msSince(start);
        // A second of the view afterwards: layout still going on must not stall it either.
        const auto after = Clock::now();
        while (msSince(after) < 1000) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    }
    state.counters["stall_ms"] = stall;
    state.counters["on_disk_ms"] = onDisk;
}
BENCHMARK(PasteTenMegabytes)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
