#include "app/AppDelegate.h"
#include "app/CaptureRegion.h"
#include "app/Identity.h"
#include "app/QuitSignals.h"
#include "app/SingleInstance.h"
#include "controller/AppController.h"
#include "controller/NotesFolderMove.h"
#include "model/NotesWriter.h"
#include "model/Store.h"
#include "platform/CaretRest.h"
#include "platform/Log.h"
#include "platform/Services.h"
#include "platform/SessionBus.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <algorithm>
#include <cstdio>

namespace {

struct Options {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QCoreApplication::translate("CommandLine", "Show this help and exit.")};
    QCommandLineOption version{
        {QStringLiteral("v"), QStringLiteral("version")},
        QCoreApplication::translate("CommandLine", "Show the version and exit.")};
    QCommandLineOption loginItem{
        QStringLiteral("login-item"),
        QCoreApplication::translate("CommandLine", "Started at login: stay at the top "
                                                   "edge without opening the dashboard.")};
    QCommandLineOption toggleDashboard{
        QStringLiteral("toggle-dashboard"),
        QCoreApplication::translate("CommandLine", "Show or hide the dashboard of the running "
                                                   "copy (starting it if needed).")};
    QCommandLineOption capture{
        QStringLiteral("capture"),
        QCoreApplication::translate("CommandLine", "Capture a screen region into a new note.")};
    QCommandLineOption newNote{
        QStringLiteral("new-note"),
        QCoreApplication::translate("CommandLine", "Put a new note on the screen.")};
    QCommandLineOption exportTo{
        QStringLiteral("export"),
        QCoreApplication::translate("CommandLine",
                                    "Export every note as Markdown into the folder <dir>."),
        QCoreApplication::translate("CommandLine", "dir")};
    QCommandLineOption importFrom{
        QStringLiteral("import"),
        QCoreApplication::translate("CommandLine",
                                    "Import every note from <path> (a text or Markdown file, a "
                                    "folder of them, an export), from Xpad with “xpad”, or "
                                    "from KNotes with “knotes”."),
        QCoreApplication::translate("CommandLine", "path")};
    QCommandLineOption captureRegion{
        QStringLiteral("capture-region"),
        QCoreApplication::translate("CommandLine", "Let the user select a screen region and "
                                                   "write it to <file> as PNG (internal)."),
        QCoreApplication::translate("CommandLine", "file")};
    QCommandLineOption captureFrom{
        QStringLiteral("from"),
        QCoreApplication::translate("CommandLine", "With --capture-region: select from the "
                                                   "desktop's image in <image> (internal)."),
        QCoreApplication::translate("CommandLine", "image")};
};

void describe(QCommandLineParser& parser, const Options& options)
{
    parser.setApplicationDescription(QCoreApplication::translate(
        "CommandLine", "Quillhaven: sticky notes that tuck away at the top of the screen."));
    parser.addOption(options.help);
    parser.addOption(options.version);
    parser.addOption(options.loginItem);
    parser.addOption(options.toggleDashboard);
    parser.addOption(options.capture);
    parser.addOption(options.newNote);
    parser.addOption(options.exportTo);
    parser.addOption(options.importFrom);
    parser.addOption(options.captureRegion);
    parser.addOption(options.captureFrom);
}

QStringList rawArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

// The options the toolkit takes itself (QGuiApplication, QApplication, the X11 plugin): only
// the application, once it exists, takes them off the command line.
bool toolkitOption(const QString& name)
{
    static const QStringList names{"platform",      "platformpluginpath",
                                   "platformtheme", "plugin",
                                   "qmljsdebugger", "qwindowgeometry",
                                   "qwindowicon",   "qwindowtitle",
                                   "reverse",       "session",
                                   "display",       "geometry",
                                   "name",          "title",
                                   "visual",        "ncols",
                                   "cmap",          "style",
                                   "stylesheet",    "widgetcount",
                                   "nograb",        "dograb",
                                   "sync",          "testability"};
    return names.contains(name);
}

// --help, --version and a mistyped option answer without a display: a usage error needs no
// window system, and without one the toolkit would abort before the program could say it.
bool answeredWithoutGui(int argc, char* argv[], int* status)
{
    Options options;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    describe(parser, options);
    const bool parsed = parser.parse(rawArguments(argc, argv));
    const QStringList unknown = parser.unknownOptionNames();
    const bool mistyped =
        !parsed && std::any_of(unknown.begin(), unknown.end(),
                               [](const QString& name) { return !toolkitOption(name); });
    if (!mistyped && !parser.isSet(options.help) && !parser.isSet(options.version)) {
        return false;
    }
    // A short-lived core application, only so the answer comes in the user's language.
    QCoreApplication core(argc, argv);
    installTranslations(core, QLocale());
    if (mistyped) {
        const Options translated;
        QCommandLineParser errorParser;
        errorParser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        describe(errorParser, translated);
        errorParser.parse(rawArguments(argc, argv));
        std::fprintf(stderr, "%s\n", qPrintable(errorParser.errorText()));
        *status = 2;
        return true;
    }
    if (parser.isSet(options.help)) {
        const Options translated;
        QCommandLineParser helpParser;
        describe(helpParser, translated);
        std::fputs(qPrintable(helpParser.helpText()), stdout);
    } else {
        std::fputs(qPrintable(aboutText()), stdout);
    }
    *status = 0;
    return true;
}

// Set while the application connects to the window system: no display there ends the launch
// with one line and a plain failure, not the toolkit's abort and core dump.
bool openingDisplay = false;

// The toolkit's own chatter (a missing sound server, an unset runtime folder) is not ours to
// report: the program's failures have their own log lines. QUILLHAVEN_DEBUG shows it all.
void toolkitMessages(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg && openingDisplay) {
        const QString display = qEnvironmentVariable("DISPLAY");
        std::fprintf(stderr, "Quillhaven: no display to open: %s\n",
                     display.isEmpty() ? "DISPLAY is not set" : qPrintable(display));
        std::_Exit(1);
    }
    static const bool everything = !qEnvironmentVariableIsEmpty("QUILLHAVEN_DEBUG");
    if (everything || type == QtFatalMsg || type == QtCriticalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }
}

// What this launch asks of the program; a plain launch asks for the dashboard.
SingleInstance::Request requestOf(const QCommandLineParser& parser, const Options& options)
{
    if (parser.isSet(options.toggleDashboard)) {
        return SingleInstance::Request::ToggleDashboard;
    }
    if (parser.isSet(options.capture)) {
        return SingleInstance::Request::Capture;
    }
    if (parser.isSet(options.newNote)) {
        return SingleInstance::Request::NewNote;
    }
    if (parser.isSet(options.exportTo)) {
        return SingleInstance::Request::Export;
    }
    if (parser.isSet(options.importFrom)) {
        return SingleInstance::Request::Import;
    }
    return SingleInstance::Request::ShowDashboard;
}

// Another copy holds the notes folder and does not answer: say so, once in the log and once
// where the user looks, since this launch ends without showing anything else.
void tellFolderInUse(const QString& folder)
{
    platform::log(QStringLiteral("Quillhaven: notes folder in use by another copy that does not "
                                 "answer, not started: ") +
                  folder);
    const QString text = QCoreApplication::translate(
                             "Launch", "Another copy of Quillhaven is using the notes in “%1”.")
                             .arg(folder);
    const QString reason = QCoreApplication::translate(
        "Launch", "It did not answer, so this copy does not start: only one copy may change "
                  "the notes at a time. Quit the other copy, then start Quillhaven again.");
    if (const auto& showError = platform::services().showError) {
        showError(text, reason);
        return;
    }
    applyWindowIcon();
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillhaven"), text, QMessageBox::Ok);
    box.setInformativeText(reason);
    box.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    int status = 0;
    if (answeredWithoutGui(argc, argv, &status)) {
        return status;
    }
    qInstallMessageHandler(toolkitMessages);
    // Global window placement and pointer polling need X11 (XWayland on a Wayland session).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication::setOrganizationName(QStringLiteral("Quillhaven"));
    QApplication::setApplicationName(QStringLiteral("Quillhaven"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLHAVEN_VERSION));
    openingDisplay = true;
    QApplication application(argc, argv);
    openingDisplay = false;
    QApplication::setQuitOnLastWindowClosed(false);
    installTranslations(application, QLocale());
    applyIdentity();

    Options options;
    QCommandLineParser parser;
    describe(parser, options);
    if (!parser.parse(QApplication::arguments())) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        return 2;
    }
    // The capture child is a helper of a running copy, not a second copy.
    if (parser.isSet(options.captureRegion)) {
        return runCaptureRegion(parser.value(options.captureRegion),
                                parser.value(options.captureFrom));
    }

    // Decided before the controller exists, so a second copy never loads or writes notes.
    const SingleInstance::Request request = requestOf(parser, options);
    SingleInstance instance;
    // The running copy has a working folder of its own: the path goes as an absolute one.
    QString argument;
    if (request == SingleInstance::Request::Export) {
        argument = QFileInfo(parser.value(options.exportTo)).absoluteFilePath();
    } else if (request == SingleInstance::Request::Import) {
        const QString from = parser.value(options.importFrom);
        const bool named = from == QStringLiteral("xpad") || from == QStringLiteral("knotes");
        argument = named ? from : QFileInfo(from).absoluteFilePath();
    }
    if (argument.contains(u'\n')) {
        std::fputs("Quillhaven: a folder name with a line break cannot be used\n", stderr);
        return 2;
    }
    instance.setArgument(argument);
    bool delivered = true;
    // Long enough for a copy that is quitting to finish writing and go.
    constexpr int answerTimeoutMs = 10000;
    if (instance.claim(answerTimeoutMs, request, &delivered) == SingleInstance::Role::Secondary) {
        if (!delivered) {
            std::fputs("Quillhaven: the running copy did not answer\n", stderr);
            return 1;
        }
        return 0;
    }
    // Copies with other runtime folders still share the notes folder: its own lock decides,
    // before anything reads the notes file.
    const QString folder = QFileInfo(Store::url()).absolutePath();
    switch (instance.claimFolder(folder, answerTimeoutMs, request)) {
    case SingleInstance::FolderClaim::Taken:
        break;
    case SingleInstance::FolderClaim::HandedOver:
        return 0;
    case SingleInstance::FolderClaim::Refused:
        tellFolderInUse(folder);
        return 1;
    }
    // Only the copy that stays: one that hands over and exits must not leave a thread behind.
    platform::connectSessionBusAhead();
    {
        AppDelegate delegate;
        // A move of the notes takes the new folder's lock from the same hands.
        delegate.app().folderMove().setLocks(&instance);
        if (request != SingleInstance::Request::ShowDashboard) {
            delegate.perform(request, argument);
        }
        QObject::connect(&instance, &SingleInstance::requested, &application,
                         [&delegate](SingleInstance::Request asked, const QString& about) {
                             delegate.perform(asked, about);
                         });
        // A signal ends the event loop like Quit; the controller, going with the delegate,
        // waits for its writer to put the last change on disk. Keys typed before the signal
        // may still wait in the queue: they are handled first, so they are saved too.
        const QuitSignals quitSignals;
        const platform::CaretRest caretRest;
        QObject::connect(&quitSignals, &QuitSignals::quitRequested, &application, [&instance] {
            instance.stopListening();
            constexpr int queuedInputMs = 250;
            QCoreApplication::processEvents(QEventLoop::AllEvents, queuedInputMs);
            QApplication::quit();
        });
        QObject::connect(&application, &QCoreApplication::aboutToQuit, &instance,
                         &SingleInstance::stopListening);
        // Before the event loop starts, not from it: starting the loop first connects the
        // accessibility bridge to the session bus and waits for it (on a bare X server, for a
        // bus started on demand), and the pad would appear only after that.
        delegate.applicationDidFinishLaunching();
        status = QApplication::exec();
    }
    // Notes that reached only an emergency copy are a failure the caller should see.
    return NotesWriter::everythingSaved() ? status : 1;
}
