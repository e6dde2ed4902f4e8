#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <optional>

class AppController;
class NoteModel;

// Brings notes back at the time set on them (Reminders.cpp): a tucked note comes out of the
// pad, one on screen is raised and wobbles, and the desktop is notified. One timer waits for
// the soonest reminder and nothing runs in between; it is set again whenever a reminder
// changes, the clock is set or the computer wakes.
class Reminders : public QObject {
    Q_OBJECT
public:
    explicit Reminders(AppController& app);
    ~Reminders() override;

    // Brings back at once what was missed while the program was not running (one notification
    // for them all), then waits for the next.
    void start();
    // Sets the note's reminder, or removes it (none).
    void remind(NoteModel* note, const std::optional<QDateTime>& at);
    // Tucks the note into the pad until `at`.
    void tuckUntil(NoteModel* note, const QDateTime& at);
    // What a menu's choices do to `note`, for as long as both live: set or remove its reminder;
    // tuck it until a time.
    std::function<void(const std::optional<QDateTime>& at)> reminding(NoteModel* note);
    std::function<void(const QDateTime& at)> tuckingUntil(NoteModel* note);
    // The notes with a reminder (not in Recently Deleted), soonest first.
    QList<NoteModel*> pending() const;
    // When the timer is set to run out, by the program's clock; none while no reminder waits.
    std::optional<QDateTime> armedFor() const { return armedFor_; }
    // How long the timer still runs, in milliseconds; -1 while it is stopped.
    int remainingMs() const { return timer_.remainingTime(); }

    static constexpr int snoozeMinutes = 10;

private:
    void arm();
    void fireDue();
    void bringBack(NoteModel* note);
    void wobble(NoteModel* note);
    void tell(const QList<QPointer<NoteModel>>& fired, const QList<bool>& cameOut);
    void answer(const QString& key, const QList<QPointer<NoteModel>>& fired,
                const QList<bool>& cameOut);

    AppController& app_;
    QTimer timer_;
    std::optional<QDateTime> armedFor_;
    bool started_ = false;
};
