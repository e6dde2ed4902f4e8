#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>

// The short label for a date on peek cards and list rows: "Just now", a time of day,
// "Yesterday", a weekday name or a numeric date, in the local calendar and locale.
QString relativeTime(const QDateTime& date);

// Every time of day shown to the user: the locale's short time pattern without seconds
// ("3:45 PM", "15:45"). Seconds only add noise to notes.
QString timeOfDay(const QTime& time, const QLocale& locale = QLocale());

// Every numeric date shown to the user: the locale's short date with the year in full
// ("1/5/2026", "05.01.2026"). A locale whose short date spells the month (the C locale) gets
// the ISO form, "2026-01-05".
QString numericDate(const QDate& date, const QLocale& locale = QLocale());
