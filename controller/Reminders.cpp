#include "controller/Reminders.h"

#include "controller/AppController.h"
#include "motion/Motion.h"
#include "platform/Clock.h"
#include "platform/Notifications.h"
#include "platform/TimeChanges.h"
#include "sound/Sound.h"
#include "windows/Panel.h"

#include <QCoreApplication>
#include <algorithm>
#include <iterator>
#include <limits>

namespace {

// QTimer counts in int milliseconds: a reminder further off is waited for in steps of this.
constexpr qint64 longestWaitMs = std::numeric_limits<int>::max();
constexpr double wobbleTilt = 4; // degrees
constexpr double wobbleReturn = 0.12;

const QString showKey = QStringLiteral("show");
const QString snoozeKey = QStringLiteral("snooze");

bool waiting(const NoteModel* note)
{
    return note->remindAt() && !note->deletedAt();
}

} // namespace

Reminders::Reminders(AppController& app)
    : app_(app)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &Reminders::fireDue);
}

Reminders::~Reminders() = default;

void Reminders::start()
{
    if (started_) {
        return;
    }
    started_ = true;
    // Every change to a reminder (set here, merged from elsewhere, its note deleted) is saved.
    connect(&app_, &AppController::notesEdited, this, &Reminders::arm);
    connect(&app_, &Published::changed, this, [this](Published::Field field) {
        if (field == Published::Field::Notes) {
            arm();
        }
    });
    connect(&platform::TimeChanges::shared(), &platform::TimeChanges::moved, this, [this] {
        armedFor_.reset();
        arm();
    });
    fireDue();
}

void Reminders::remind(NoteModel* note, const std::optional<QDateTime>& at)
{
    if (note != nullptr) {
        note->setRemindAt(at);
    }
}

void Reminders::tuckUntil(NoteModel* note, const QDateTime& at)
{
    if (note == nullptr) {
        return;
    }
    note->setRemindAt(at);
    if (note->onScreen()) {
        app_.putBack(note);
    }
}

std::function<void(const std::optional<QDateTime>&)> Reminders::reminding(NoteModel* note)
{
    return [self = QPointer<Reminders>(this),
            note = QPointer<NoteModel>(note)](const std::optional<QDateTime>& at) {
        if (self && note) {
            self->remind(note, at);
        }
    };
}

std::function<void(const QDateTime&)> Reminders::tuckingUntil(NoteModel* note)
{
    return
        [self = QPointer<Reminders>(this), note = QPointer<NoteModel>(note)](const QDateTime& at) {
            if (self && note) {
                self->tuckUntil(note, at);
            }
        };
}

QList<NoteModel*> Reminders::pending() const
{
    QList<NoteModel*> notes;
    std::copy_if(app_.notes().begin(), app_.notes().end(), std::back_inserter(notes), waiting);
    std::stable_sort(notes.begin(), notes.end(), [](const NoteModel* a, const NoteModel* b) {
        return *a->remindAt() < *b->remindAt();
    });
    return notes;
}

// Only the soonest is waited for: the timer is set for it and runs nothing before.
void Reminders::arm()
{
    if (!started_) {
        return;
    }
    std::optional<QDateTime> soonest;
    for (const NoteModel* note : app_.notes()) {
        if (waiting(note) && (!soonest || *note->remindAt() < *soonest)) {
            soonest = note->remindAt();
        }
    }
    if (soonest == armedFor_ && timer_.isActive()) {
        return; // a note was edited: the soonest stays as it was
    }
    armedFor_ = soonest;
    if (!soonest) {
        timer_.stop();
        return;
    }
    platform::TimeChanges::shared().watch();
    const qint64 ms = std::clamp<qint64>(platform::now().msecsTo(*soonest), 0, longestWaitMs);
    timer_.start(int(ms));
}

// Whatever is due by the clock now: the timer may run out early (the clock was set back) or
// late (set forward, or the computer slept), so the clock decides, not the timer.
void Reminders::fireDue()
{
    const QDateTime now = platform::now();
    QList<QPointer<NoteModel>> fired;
    QList<bool> cameOut;
    for (NoteModel* note : pending()) {
        if (*note->remindAt() > now) {
            break;
        }
        fired << note;
        cameOut << !note->onScreen();
    }
    for (const QPointer<NoteModel>& note : fired) {
        note->setRemindAt(std::nullopt);
        bringBack(note);
    }
    if (!fired.isEmpty()) {
        tell(fired, cameOut);
    }
    arm();
}

void Reminders::bringBack(NoteModel* note)
{
    Panel* panel = app_.window(note);
    if (panel == nullptr || !note->onScreen()) {
        app_.drop(note); // out of the pad as a click pulls it, landing with its pat
        return;
    }
    panel->orderFront();
    wobble(note);
    Sound::shared().play(Sound::Effect::Pat);
}

void Reminders::wobble(NoteModel* note)
{
    motion::withAnimation(motion::Animation::spring(0.12, 0.5, 0),
                          [note] { note->setTilt(wobbleTilt); });
    const QPointer<NoteModel> swung(note);
    motion::after(
        wobbleReturn,
        [swung] {
            if (swung) {
                motion::withAnimation(motion::Animation::spring(0.45, 0.3, 0),
                                      [&swung] { swung->setTilt(0); });
            }
        },
        note);
}

void Reminders::tell(const QList<QPointer<NoteModel>>& fired, const QList<bool>& cameOut)
{
    QString summary;
    QString body;
    if (fired.size() == 1) {
        summary = fired.first()->title();
        // The second line, when there is one; never the list's placeholder for none.
        if (fired.first()->text().trimmed().contains(u'\n')) {
            body = fired.first()->preview();
        }
    } else {
        // Only ever several: no singular needed.
        summary = QCoreApplication::translate("Reminder", "%1 reminders").arg(fired.size());
        QStringList titles;
        for (const QPointer<NoteModel>& note : fired) {
            titles << note->title();
        }
        body = titles.join(u'\n');
    }
    const QList<platform::Notifications::Action> actions{
        {showKey, QCoreApplication::translate("Reminder", "Show")},
        {snoozeKey, QCoreApplication::translate("Reminder", "Snooze 10 Minutes")}};
    const QPointer<Reminders> self(this);
    platform::notifications().notify(summary, body, actions,
                                     [self, fired, cameOut](const QString& key) {
                                         if (self) {
                                             self->answer(key, fired, cameOut);
                                         }
                                     });
}

// "Show" brings each note to the front with the keyboard; "Snooze" puts back what came out
// and brings it all again in ten minutes.
void Reminders::answer(const QString& key, const QList<QPointer<NoteModel>>& fired,
                       const QList<bool>& cameOut)
{
    const QDateTime later = platform::now().addSecs(snoozeMinutes * 60);
    for (qsizetype i = 0; i < fired.size(); ++i) {
        NoteModel* note = fired[i];
        if (note == nullptr || note->deletedAt()) {
            continue;
        }
        if (key == showKey) {
            app_.drop(note);
        } else if (key == snoozeKey && cameOut[i]) {
            tuckUntil(note, later);
        } else if (key == snoozeKey) {
            remind(note, later);
        }
    }
}
