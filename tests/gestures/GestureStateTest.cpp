#include "controller/GestureState.h"

#include "support/Suites.h"

using namespace gestures;

Q_DECLARE_METATYPE(gestures::GestureState)
Q_DECLARE_METATYPE(gestures::GestureEvent)

// The controller's one gesture value, step by step: which gesture follows which event.
class GestureStateTest : public QObject {
    Q_OBJECT

    std::unique_ptr<NoteModel> a_ = std::make_unique<NoteModel>(NoteData{});
    std::unique_ptr<NoteModel> b_ = std::make_unique<NoteModel>(NoteData{});

    const char* name(const NoteModel* note) const
    {
        return note == a_.get() ? "a" : note ? "b" : "-";
    }

    // The state in a few words: what it is, on which note, and what the next step reads.
    QString describe(const GestureState& state) const
    {
        if (const auto* p = std::get_if<Pull>(&state)) {
            return QString::asprintf("pull %s from %g x %g%s", name(p->note), p->start.y(),
                                     p->lastX, p->carried ? " carried" : "");
        }
        if (const auto* d = std::get_if<Drag>(&state)) {
            return QString::asprintf("drag %s grab %g,%g x %g", name(d->note), d->grab.x(),
                                     d->grab.y(), d->lastX);
        }
        if (const auto* r = std::get_if<Resize>(&state))
            return QString::asprintf("resize %g x %g", r->w, r->total);
        return QStringLiteral("idle");
    }

    void row(const char* name, const GestureState& from, const GestureEvent& event, const char* to)
    {
        QTest::newRow(name) << from << event << QString::fromUtf8(to);
    }

private Q_SLOTS:
    void transitions_data()
    {
        QTest::addColumn<GestureState>("from");
        QTest::addColumn<GestureEvent>("event");
        QTest::addColumn<QString>("to");
        NoteModel* a = a_.get();
        const Pull pull{a, {10, 20}, 10, false, 0};
        const Pull carried{a, {10, 20}, 10, true, 7}; // let go at 7
        const Drag drag{a, {5, 6}, 100, {}};
        const Resize resize{{0, 0}, 220, 300};
        row("a carried pull ends at any release", carried, PadReleased{true, 9}, "idle");
        row("the raw release is nothing to a held pull", pull, RawReleased{7},
            "pull a from 20 x 10");
        row("a pull whose note is gone is never carried", Pull{nullptr, {}, 0, false, 0},
            PadReleased{true, 7}, "idle");
        row("another note's drag takes over", drag, DragMoved{b_.get(), {1, 2}, {30, 50}, 1},
            "drag b grab 1,2 x 30");
        row("a resize takes over", drag, ResizePressed{resize}, "resize 220 x 300");
        row("a resize's release ends it", resize, ResizeReleased{}, "idle");
    }

    void transitions()
    {
        QFETCH(GestureState, from);
        QFETCH(GestureEvent, event);
        QFETCH(QString, to);
        QCOMPARE(describe(step(from, event)), to);
    }
};

static RegisterSuite<GestureStateTest> registered;
#include "GestureStateTest.moc"
