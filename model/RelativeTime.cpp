#include "model/RelativeTime.h"

#include "platform/Clock.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

// Drops the seconds field together with the separator that leads into it (or, when it comes
// first, the one after it), and any fraction of a second.
QString withoutSeconds(QString format)
{
    static const QRegularExpression leading(QStringLiteral("[^A-Za-z']*s{1,2}(?:[.,]z+)?"));
    static const QRegularExpression first(QStringLiteral("^s{1,2}(?:[.,]z+)?[^A-Za-z']*"));
    format.remove(first);
    format.remove(leading);
    return format.trimmed();
}

} // namespace

QString timeOfDay(const QTime& time, const QLocale& locale)
{
    return locale.toString(time, withoutSeconds(locale.timeFormat(QLocale::ShortFormat)));
}

QString numericDate(const QDate& date, const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (format.contains(QLatin1String("MMM")) || format.contains(QLatin1String("ddd"))) {
        return date.toString(Qt::ISODate);
    }
    if (!format.contains(QLatin1String("yyyy"))) {
        static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
        format.replace(shortYear, QStringLiteral("yyyy"));
    }
    return locale.toString(date, format);
}

QString relativeTime(const QDateTime& date)
{
    const QDateTime now = platform::now();
    const double elapsed = double(date.msecsTo(now)) / 1000.0;
    const QDate today = now.toLocalTime().date();
    const QDateTime local = date.toLocalTime();
    if (local.date() == today) {
        return elapsed < 60 ? QCoreApplication::translate("Time", "Just now")
                            : timeOfDay(local.time());
    }
    if (local.date() == today.addDays(-1)) {
        return QCoreApplication::translate("Time", "Yesterday");
    }
    if (elapsed < 518400) {
        return QLocale().dayName(local.date().dayOfWeek(), QLocale::LongFormat);
    }
    return numericDate(local.date());
}
