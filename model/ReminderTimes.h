#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

// The times a reminder is set to in one choice, and how a reminder's time reads, in the local
// calendar.
namespace reminders {

enum class Choice { LaterToday, ThisEvening, TomorrowMorning, NextWeek };
inline constexpr Choice choices[] = {Choice::LaterToday, Choice::ThisEvening,
                                     Choice::TomorrowMorning, Choice::NextWeek};

// "Later Today", "This Evening", "Tomorrow Morning", "Next Week".
QString choiceText(Choice choice);
// When `choice` made at `now` comes: in three hours, at 18:00, tomorrow at 9:00, next Monday
// at 9:00. None when that has passed (this evening, after six).
std::optional<QDateTime> choiceTime(Choice choice, const QDateTime& now);

// Every choice's text and time, in order, for a menu.
QList<std::pair<QString, std::optional<QDateTime>>> menuChoices(const QDateTime& now);

// "Today, 15:00", "Tomorrow, 09:00", a weekday within the week ahead, else the date.
QString label(const QDateTime& at, const QDateTime& now);

} // namespace reminders
