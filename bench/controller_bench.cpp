#include "BenchSupport.h"
#include "controller/AppController.h"
#include "controller/Gestures.h"
#include "controller/Tracking.h"
#include "model/NoteModel.h"
#include "model/Store.h"
#include "motion/Motion.h"
#include "platform/Services.h"
#include "sound/Sound.h"
#include "windows/Panel.h"

#include <QFile>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

// A started controller with an empty notes file: pad window, tracking timer and all.
std::unique_ptr<AppController> startedController()
{
    QFile::remove(Store::url());
    auto app = bench::makeController();
    app->start();
    return app;
}

// One tracking tick with the pointer away from the notch: the state the program is in almost
// all of its life. Reports the allocations per tick, which should be none.
void TrackingTickIdle(benchmark::State& state)
{
    const auto app = startedController();
    bench::desktop().mouse = QPointF(300, 400);
    app->tracking().trackCursor();
    long allocations = 0;
    for (auto _ : state) {
        bench::allocations::begin();
        app->tracking().trackCursor();
        allocations += bench::allocations::end();
    }
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}
BENCHMARK(TrackingTickIdle);

// The same tick through the real desktop seam (pointer and screen read from the toolkit);
// on X the pointer read is one more round trip to the server, not measured here.
void TrackingTickIdleToolkitDesktop(benchmark::State& state)
{
    const auto app = startedController();
    platform::Services toolkit = platform::services();
    toolkit.desktop = nullptr;
    const platform::ServicesGuard realDesktop(toolkit);
    app->tracking().trackCursor();
    long allocations = 0;
    for (auto _ : state) {
        bench::allocations::begin();
        app->tracking().trackCursor();
        allocations += bench::allocations::end();
    }
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}
BENCHMARK(TrackingTickIdleToolkitDesktop);

// One pointer movement of a note window drag, with the animation frame that follows it.
void DragStep(benchmark::State& state)
{
    const auto app = startedController();
    NoteData record = bench::sampleRecords(1).first();
    record.onScreen = true;
    record.x = 500;
    record.y = 300;
    auto* note = new NoteModel(record);
    app->setNotes({note});
    app->show(note);
    auto& clock = motion::FrameClock::instance();
    bench::desktop().mouse = QPointF(600, 450);
    app->gestures().noteDragChanged(note);
    int step = 0;
    for (auto _ : state) {
        ++step;
        // Wanders left and right and slowly down, away from the notch.
        bench::desktop().mouse =
            QPointF(600 + 40 * std::sin(step * 0.05), 450 - (step % 200) * 0.5);
        clock.advance(1.0 / 120);
        app->gestures().noteDragChanged(note);
    }
    clock.advance(2);
}
BENCHMARK(DragStep);

// A gesture sound; with no audio device it must not cost more than the bookkeeping.
void SoundPlay(benchmark::State& state)
{
    Sound& sound = Sound::shared();
    state.SetLabel(sound.isAudioAvailable() ? "audio device" : "no audio device");
    for (auto _ : state) {
        sound.play(Sound::Effect::Pat);
    }
}
BENCHMARK(SoundPlay);

} // namespace
