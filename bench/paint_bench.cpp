#include "BenchSupport.h"
#include "controller/AppController.h"
#include "controller/Gestures.h"
#include "model/NoteGeometry.h"
#include "model/NoteModel.h"
#include "model/Store.h"
#include "noteview/NoteTextArea.h"
#include "noteview/NoteView.h"
#include "paint/Grain.h"
#include "paint/Palette.h"
#include "paint/Paper.h"
#include "windows/Panel.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

// A note on screen in its own window, and an image the size of that window to paint into.
struct ShownNote {
    std::unique_ptr<AppController> app = bench::makeController();
    NoteModel* note = nullptr;
    NoteView* view = nullptr;
    QImage target;

    ShownNote()
    {
        QFile::remove(Store::url());
        NoteData record = bench::sampleRecords(3).last();
        record.onScreen = true;
        record.x = 400;
        record.y = 300;
        note = new NoteModel(record);
        app->setNotes({note});
        app->show(note);
        view = static_cast<NoteView*>(app->window(note)->content());
        paint();
    }

    void paint()
    {
        if (target.size() != view->size()) {
            target = QImage(view->size(), QImage::Format_ARGB32_Premultiplied);
        }
        target.fill(Qt::transparent);
        view->render(&target, QPoint(), QRegion(), QWidget::DrawChildren);
    }
};

// A repaint of a note at rest: paper (cached), header, text and grip.
void PaintNoteAtRest(benchmark::State& state)
{
    ShownNote shown;
    for (auto _ : state) {
        shown.paint();
    }
    state.SetLabel(shown.view->isShowingSnapshot() ? "snapshot" : "live widgets");
}
BENCHMARK(PaintNoteAtRest)->Unit(benchmark::kMicrosecond);

// One frame of a peel: the curl moves and the note is painted through its perspective.
void PaintPeelFrame(benchmark::State& state)
{
    ShownNote shown;
    shown.note->setPeel(0.5);
    shown.paint();
    int frame = 0;
    for (auto _ : state) {
        ++frame;
        shown.note->setPeel(0.2 + (frame % 50) * 0.01);
        shown.paint();
    }
    state.SetLabel(shown.view->isShowingSnapshot() ? "snapshot" : "live widgets");
}
BENCHMARK(PaintPeelFrame)->Unit(benchmark::kMicrosecond);

// One frame of a resize drag: a new paper size each frame, so the paper and its grain are
// rendered afresh, the window and its parts laid out again, then painted.
void PaintResizeFrame(benchmark::State& state)
{
    ShownNote shown;
    const QRectF frame = shown.app->window(shown.note)->frame();
    // The handle's centre, in the y-up space.
    const QPointF handle(frame.right() - geometry::inset - 11, frame.top() + geometry::inset + 11);
    bench::desktop().mouse = handle;
    shown.app->gestures().resizeHook(shown.note, ResizePhase::Down, 1);
    int step = 0;
    for (auto _ : state) {
        ++step;
        bench::desktop().mouse = handle + QPointF(step % 97, -(step % 89));
        shown.app->gestures().resizeHook(shown.note, ResizePhase::Dragged, 0);
        shown.paint();
    }
    bench::desktop().mouse = handle;
    shown.app->gestures().resizeHook(shown.note, ResizePhase::Up, 0);
}
BENCHMARK(PaintResizeFrame)->Unit(benchmark::kMicrosecond);

} // namespace

namespace {

// Diagnostics for the resize frame: the grain alone and the whole paper (shadows, body,
// grain), each at a size not rendered before.
void RenderGrainNewSize(benchmark::State& state)
{
    int step = 0;
    for (auto _ : state) {
        ++step;
        benchmark::DoNotOptimize(paint::grainImage(QSizeF(220 + step % 397, 220), 1.0));
    }
}
BENCHMARK(RenderGrainNewSize)->Unit(benchmark::kMicrosecond);

void RenderPaperNewSize(benchmark::State& state)
{
    int step = 0;
    for (auto _ : state) {
        ++step;
        benchmark::DoNotOptimize(
            paint::paperImage(QSizeF(220 + step % 397, 221), false, QStringLiteral("pink"), 1.0));
    }
}
BENCHMARK(RenderPaperNewSize)->Unit(benchmark::kMicrosecond);

// One key typed into the middle of a 100 KB note in its editor, then taken back with
// Backspace: the edit, the restyle of its paragraph (boxes, bullets, formatting) and the text
// handed on. Arg 1: every line carries items and formatting; 0: the same length, plain.
void TypeInLongNote(benchmark::State& state)
{
    noteview::TextArea text;
    text.resize(320, 4000);
    const QString line =
        state.range(0) != 0
            ? QStringLiteral("- [ ] **milk** and *eggs*, ~~tea~~ `x` #shop\n# Day\n")
            : QStringLiteral("- milk and eggs, then tea and a little x, for the shop\n");
    text.setNoteText(line.repeated(100 * 1024 / line.size()));
    QTextCursor c(text.document()->findBlockByNumber(text.document()->blockCount() / 2));
    c.setPosition(c.position() + 10); // inside "milk"
    for (auto _ : state) {
        c.insertText(QStringLiteral("a"));
        c.deletePreviousChar();
    }
    state.SetLabel("two keys");
}
BENCHMARK(TypeInLongNote)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
