#include "model/RelativeTime.h"

#include "platform/Clock.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

// The locale's numeric date, with the year written in full (1/5/2026 rather than 1/5/26).
QString numericDate(const QDate& date)
{
    const QLocale locale;
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy"))) {
        static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
        format.replace(shortYear, QStringLiteral("yyyy"));
    }
    return locale.toString(date, format);
}

} // namespace

QString relativeTime(const QDateTime& date)
{
    const QDateTime now = platform::now();
    const double elapsed = double(date.msecsTo(now)) / 1000.0;
    const QDate today = now.toLocalTime().date();
    const QDateTime local = date.toLocalTime();
    if (local.date() == today) {
        return elapsed < 60 ? QStringLiteral("Just now")
                            : QLocale().toString(local.time(), QLocale::ShortFormat);
    }
    if (local.date() == today.addDays(-1)) {
        return QStringLiteral("Yesterday");
    }
    if (elapsed < 518400) {
        return QLocale().dayName(local.date().dayOfWeek(), QLocale::LongFormat);
    }
    return numericDate(local.date());
}
