#pragma once

#include <QDateTime>
#include <QString>

// The short label for a date on peek cards and list rows: "Just now", a time of day,
// "Yesterday", a weekday name or a numeric date, in the local calendar and locale.
QString relativeTime(const QDateTime& date);
