#include "model/ReminderTimes.h"

#include "model/RelativeTime.h"

#include <QCoreApplication>
#include <QLocale>

namespace reminders {

namespace {

constexpr int laterTodayHours = 3;
const QTime evening(18, 0);
const QTime morning(9, 0);

QDateTime localAt(const QDate& day, const QTime& time)
{
    return QDateTime(day, time, Qt::LocalTime).toUTC();
}

} // namespace

QString choiceText(Choice choice)
{
    switch (choice) {
    case Choice::LaterToday:
        return QCoreApplication::translate("Reminder", "Later Today");
    case Choice::ThisEvening:
        return QCoreApplication::translate("Reminder", "This Evening");
    case Choice::TomorrowMorning:
        return QCoreApplication::translate("Reminder", "Tomorrow Morning");
    case Choice::NextWeek:
        return QCoreApplication::translate("Reminder", "Next Week");
    }
    return {};
}

std::optional<QDateTime> choiceTime(Choice choice, const QDateTime& now)
{
    const QDate today = now.toLocalTime().date();
    switch (choice) {
    case Choice::LaterToday:
        return now.addSecs(laterTodayHours * 3600);
    case Choice::ThisEvening:
        if (const QDateTime at = localAt(today, evening); at > now) {
            return at;
        }
        return std::nullopt;
    case Choice::TomorrowMorning:
        return localAt(today.addDays(1), morning);
    case Choice::NextWeek:
        // Monday of the week after this one, even when today is Monday.
        return localAt(today.addDays(8 - today.dayOfWeek()), morning);
    }
    return std::nullopt;
}

QList<std::pair<QString, std::optional<QDateTime>>> menuChoices(const QDateTime& now)
{
    QList<std::pair<QString, std::optional<QDateTime>>> all;
    for (const Choice choice : choices) {
        all.append({choiceText(choice), choiceTime(choice, now)});
    }
    return all;
}

QString label(const QDateTime& at, const QDateTime& now)
{
    const QDate today = now.toLocalTime().date();
    const QDateTime local = at.toLocalTime();
    const QString time = timeOfDay(local.time());
    const qint64 days = today.daysTo(local.date());
    QString day;
    if (days == 0) {
        day = QCoreApplication::translate("Reminder", "Today");
    } else if (days == 1) {
        day = QCoreApplication::translate("Reminder", "Tomorrow");
    } else if (days == -1) {
        day = QCoreApplication::translate("Time", "Yesterday");
    } else if (days > 1 && days < 7) {
        day = QLocale().dayName(local.date().dayOfWeek(), QLocale::LongFormat);
    } else {
        day = numericDate(local.date());
    }
    //: A reminder's time: the day, then the time of day ("Tomorrow, 09:00").
    return QCoreApplication::translate("Reminder", "%1, %2").arg(day, time);
}

} // namespace reminders
