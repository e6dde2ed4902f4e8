#include "controller/AppController.h"
#include "controller/NoteSizes.h"
#include "model/NoteGeometry.h"
#include "motion/Motion.h"
#include "sound/Sound.h"
#include "windows/Panel.h"

namespace {

constexpr double savedFlashSeconds = 1.6;
constexpr double wobbleSwing = 1.5; // degrees
constexpr double wobbleReturnDelay = 0.1;

// The rest of a tuck, once the window has reached the notch.
void finishTuck(AppController* app, NoteModel* note)
{
    if (Panel* panel = app->window(note)) {
        panel->orderOut();
    }
    note->setOnScreen(false);
    motion::withAnimation(motion::Animation::none(), [note] {
        note->setScale(1);
        note->setOpacity(1);
        note->setPeel(0);
        note->setTilt(0);
    });

    QList<NoteModel*> reordered = app->notes();
    reordered.removeAll(note);
    reordered.append(note);
    app->setNotes(reordered);
    Q_EMIT app->notesEdited();

    app->showTucked();
}

} // namespace

void AppController::putBack(NoteModel* note)
{
    Panel* panel = window(note);
    if (panel == nullptr) {
        return;
    }
    Sound::shared().play(Sound::Effect::Whoosh);
    // The paper shrinks, fades and curls as it slips under the notch...
    motion::withAnimation(motion::Animation::easeInOut(0.32), [note] {
        note->setScale(0.3);
        note->setOpacity(0);
        note->setPeel(25);
    });
    // ...while the window rises until the paper's top edge meets the notch's lower edge.
    const double w = sizes_->winW(note);
    const double h = sizes_->winH(note);
    const QRectF target(midX() - w / 2, top() - notchH() - (h - geometry::inset), w, h);
    const QPointer<AppController> self(this);
    const QPointer<NoteModel> tucking(note);
    motion::animateWindowFrame(panel, target, motion::defaultTiming(0.3), [self, tucking] {
        if (self && tucking) {
            finishTuck(self, tucking);
        }
    });
}

void AppController::bringAllBack()
{
    QList<NoteModel*> onScreen;
    for (NoteModel* note : notes_) {
        if (note->onScreen()) {
            onScreen << note;
        }
    }
    for (NoteModel* note : onScreen) {
        putBack(note);
    }
}

void AppController::showTucked()
{
    wobblePad();
    haptic();
    motion::withAnimation(motion::Animation::standard(), [this] { setSavedFlash(true); });
    // Each tuck ends its own flash, even if a later tuck has lit it again in between.
    motion::after(
        savedFlashSeconds,
        [this] {
            motion::withAnimation(motion::Animation::standard(), [this] { setSavedFlash(false); });
        },
        this);
}

void AppController::wobblePad()
{
    motion::withAnimation(motion::Animation::spring(0.12, 0.825, 0),
                          [this] { publish(Field::Wobble, [this] { wobble_ = wobbleSwing; }); });
    motion::after(
        wobbleReturnDelay,
        [this] {
            motion::withAnimation(motion::Animation::spring(0.45, 0.7, 0),
                                  [this] { publish(Field::Wobble, [this] { wobble_ = 0; }); });
        },
        this);
}

void AppController::toggleFold(NoteModel* note)
{
    if (note == nullptr) {
        return;
    }
    Sound::shared().play(Sound::Effect::Pat);
    motion::withAnimation(motion::Animation::spring(0.4, 0.9, 0),
                          [note] { note->setFolded(!note->folded()); });
    save();
}
