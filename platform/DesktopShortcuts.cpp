#include "platform/DesktopShortcuts.h"

#include "platform/Backend.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QThreadPool>
#include <array>
#include <cstring>
#include <optional>

namespace platform::desktopshortcuts {

namespace {

const QString keys = QStringLiteral("org.gnome.settings-daemon.plugins.media-keys");
const QString entry = keys + QStringLiteral(".custom-keybinding:");
const QString base = QStringLiteral("/org/gnome/settings-daemon/plugins/media-keys/"
                                    "custom-keybindings/quillhaven-");

struct Binding {
    const char* id;
    const char* name;
    const char* option;
    const char* accel;
};
constexpr std::array<Binding, 2> bindings{{
    {"dashboard", QT_TRANSLATE_NOOP("Shortcuts", "Quillhaven: show or hide the dashboard"),
     "--toggle-dashboard", "<Primary><Alt>n"},
    {"capture", QT_TRANSLATE_NOOP("Shortcuts", "Quillhaven: capture the screen into a note"),
     "--capture", "<Primary><Alt>s"},
}};

std::optional<QString> gsettings(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("gsettings"), arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        log(QStringLiteral("Quillhaven: gsettings %1 failed: %2")
                .arg(arguments.value(0),
                     QString::fromUtf8(process.readAllStandardError()).trimmed()));
        return std::nullopt;
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// A string in the text form gsettings reads values in.
QString quoted(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString command(const Binding& b)
{
    return QStringLiteral("'%1' %2").arg(QCoreApplication::applicationFilePath(), b.option);
}

QStringList ours()
{
    QStringList paths;
    for (const Binding& b : bindings) {
        paths << base + b.id + QLatin1Char('/');
    }
    return paths;
}

// Sets our two shortcuts into the list (or takes them out) and reads the list back.
bool change(bool adding)
{
    const auto printed =
        gsettings({QStringLiteral("get"), keys, QStringLiteral("custom-keybindings")});
    if (!printed) {
        return false;
    }
    QStringList list = parseList(*printed);
    for (size_t i = 0; i < bindings.size(); ++i) {
        const QString path = entry + ours()[int(i)];
        const Binding& b = bindings[i];
        const bool set =
            adding ? gsettings(
                         {"set", path, "name", QCoreApplication::translate("Shortcuts", b.name)}) &&
                         gsettings({"set", path, "command", quoted(command(b))}) &&
                         gsettings({"set", path, "binding", quoted(QString::fromLatin1(b.accel))})
                   : gsettings({"reset-recursively", path}).has_value();
        if (!set) {
            return false;
        }
        list.removeAll(ours()[int(i)]);
    }
    if (adding) {
        list << ours();
    }
    if (!gsettings(
            {QStringLiteral("set"), keys, QStringLiteral("custom-keybindings"), printList(list)})) {
        return false;
    }
    const auto after =
        gsettings({QStringLiteral("get"), keys, QStringLiteral("custom-keybindings")});
    return after && parseList(*after).contains(ours().first()) == adding;
}

void run(bool adding, QObject* context, std::function<void(bool)> done)
{
    const QPointer<QObject> guard(context);
    QThreadPool::globalInstance()->start([adding, guard, done = std::move(done)] {
        const bool ok = change(adding);
        QMetaObject::invokeMethod(
            qApp,
            [guard, done, ok] {
                if (guard) {
                    done(ok);
                }
            },
            Qt::QueuedConnection);
    });
}

} // namespace

Where where()
{
    switch (session().kind().compositor) {
    case Compositor::Gnome:
        return Where::Gnome;
    case Compositor::Sway:
        return Where::Sway;
    default:
        return Where::None;
    }
}

QString swayLines()
{
    QStringList lines;
    for (const Binding& b : bindings) {
        lines << QStringLiteral("bindsym Ctrl+Alt+%1 exec %2")
                     .arg(QString(QLatin1Char(b.accel[std::strlen(b.accel) - 1])), command(b));
    }
    return lines.join(QLatin1Char('\n'));
}

void add(QObject* context, std::function<void(bool)> done)
{
    run(true, context, std::move(done));
}

void remove(QObject* context, std::function<void(bool)> done)
{
    run(false, context, std::move(done));
}

QStringList parseList(const QString& printed)
{
    QStringList paths;
    static const QRegularExpression quoted(QStringLiteral("'([^']*)'"));
    for (const QRegularExpressionMatch& m : quoted.globalMatch(printed)) {
        paths << m.captured(1);
    }
    return paths;
}

QString printList(const QStringList& paths)
{
    if (paths.isEmpty()) {
        return QStringLiteral("@as []");
    }
    return QStringLiteral("['") + paths.join(QStringLiteral("', '")) + QStringLiteral("']");
}

} // namespace platform::desktopshortcuts
