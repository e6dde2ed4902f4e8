#include "platform/LoginItem.h"

#include "platform/AppId.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace {

void logFailure(const QString& reason)
{
    platform::log(QStringLiteral("Quillhaven: login item change failed: ") + reason);
}

// One character inside a double-quoted Exec argument. The quoting rule escapes ", `, $ and
// backslash with a backslash; the value's own string escaping then doubles every backslash
// (so a literal one ends up as four), and line breaks must not end the entry's line.
QString quotedChar(QChar c)
{
    switch (c.unicode()) {
    case u'"':
    case u'`':
    case u'$':
        return QStringLiteral("\\\\") + c;
    case u'\\':
        return QStringLiteral("\\\\\\\\");
    case u'\n':
        return QStringLiteral("\\n");
    case u'\r':
        return QStringLiteral("\\r");
    case u'\t':
        return QStringLiteral("\\t");
    default:
        return QString(c);
    }
}

// Desktop entries split Exec on spaces and give meaning to a few other characters.
QString quoteArgument(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\r\n\"'\\><~|&;$*?#()`");
    QString escaped = argument;
    escaped.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (std::none_of(argument.begin(), argument.end(),
                     [](QChar c) { return reserved.contains(c); })) {
        return escaped;
    }
    QString quoted = QStringLiteral("\"");
    for (QChar c : escaped) {
        quoted += quotedChar(c);
    }
    return quoted + QLatin1Char('"');
}

} // namespace

QByteArray loginItemEntry(const QString& executable)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Quillhaven\n"
                          "Comment=Sticky notes tucked away at the top of the screen\n"
                          "Exec=%1\n"
                          "Icon=%2\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(loginItemExec(executable), QStringLiteral(QUILLHAVEN_APP_ID))
        .toUtf8();
}

namespace {

void writeEntry()
{
    const QString path = loginItemPath();
    const QString dir = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(dir)) {
        logFailure(QStringLiteral("cannot create ") + dir);
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        logFailure(file.errorString());
        return;
    }
    file.write(loginItemEntry(QCoreApplication::applicationFilePath()));
    if (!file.commit()) {
        logFailure(file.errorString());
    }
}

void removeEntry()
{
    QFile file(loginItemPath());
    if (!QFileInfo::exists(file.fileName()) && !QFileInfo(file.fileName()).isSymLink()) {
        return;
    }
    if (!file.remove()) {
        logFailure(file.errorString());
    }
}

} // namespace

QString loginItemPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/" QUILLHAVEN_APP_ID ".desktop");
}

QString loginItemExec(const QString& executable)
{
    return quoteArgument(executable) + QStringLiteral(" --login-item");
}

void setOpenAtLogin(bool enabled)
{
    if (enabled) {
        writeEntry();
    } else {
        removeEntry();
    }
}

bool openAtLoginEnabled()
{
    QFile file(loginItemPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return false;
    }
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!inMainGroup || eq < 0 || line.left(eq).trimmed() != QStringLiteral("Hidden")) {
            continue;
        }
        if (line.mid(eq + 1).trimmed() == QStringLiteral("true")) {
            return false;
        }
    }
    return true;
}
