#include "app/AppDelegate.h"
#include "app/CaptureRegion.h"
#include "app/QuitSignals.h"
#include "app/SingleInstance.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>

namespace {

struct Options {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and exit.")};
    QCommandLineOption loginItem{QStringLiteral("login-item"),
                                 QStringLiteral("Started at login: stay at the top edge "
                                                "without opening the dashboard.")};
    QCommandLineOption captureRegion{QStringLiteral("capture-region"),
                                     QStringLiteral("Let the user select a screen region and "
                                                    "write it to <file> as PNG (internal)."),
                                     QStringLiteral("file")};
};

void describe(QCommandLineParser& parser, const Options& options)
{
    parser.setApplicationDescription(
        QStringLiteral("Quillhaven: sticky notes that tuck away at the top of the screen."));
    parser.addOption(options.help);
    parser.addOption(options.version);
    parser.addOption(options.loginItem);
    parser.addOption(options.captureRegion);
}

QStringList rawArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

// --help and --version answer without a display. Options the toolkit itself takes (such as
// -display) are only known once the application exists, so nothing else is judged here.
bool answeredWithoutGui(int argc, char* argv[], int* status)
{
    Options options;
    QCommandLineParser parser;
    describe(parser, options);
    parser.parse(rawArguments(argc, argv));
    if (parser.isSet(options.help)) {
        // Without an application object the parser cannot name the program itself.
        QString text = parser.helpText();
        text.replace(QStringLiteral("<executable_name>"), QStringLiteral("quillhaven"));
        std::fputs(qPrintable(text), stdout);
        *status = 0;
        return true;
    }
    if (parser.isSet(options.version)) {
        std::printf("Quillhaven %s\n", QUILLHAVEN_VERSION);
        *status = 0;
        return true;
    }
    return false;
}

// The toolkit's own chatter (a missing sound server, an unset runtime folder) is not ours to
// report: the program's failures have their own log lines. QUILLHAVEN_DEBUG shows it all.
void quietToolkitMessages(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg || type == QtCriticalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }
}

} // namespace

int main(int argc, char* argv[])
{
    int status = 0;
    if (answeredWithoutGui(argc, argv, &status)) {
        return status;
    }
    if (qEnvironmentVariableIsEmpty("QUILLHAVEN_DEBUG")) {
        qInstallMessageHandler(quietToolkitMessages);
    }
    // Global window placement and pointer polling need X11 (XWayland on a Wayland session).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication::setOrganizationName(QStringLiteral("Quillhaven"));
    QApplication::setApplicationName(QStringLiteral("Quillhaven"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLHAVEN_VERSION));
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    Options options;
    QCommandLineParser parser;
    describe(parser, options);
    if (!parser.parse(QApplication::arguments())) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        return 2;
    }
    // The capture child is a helper of a running copy, not a second copy.
    if (parser.isSet(options.captureRegion)) {
        return runCaptureRegion(parser.value(options.captureRegion));
    }

    // Decided before the controller exists, so a second copy never loads or writes notes.
    SingleInstance instance;
    if (instance.claim() == SingleInstance::Role::Secondary) {
        return 0;
    }
    AppDelegate delegate;
    QObject::connect(&instance, &SingleInstance::showDashboardRequested, &application,
                     [&delegate] { delegate.applicationShouldHandleReopen(); });
    QTimer::singleShot(0, &application, [&delegate] { delegate.applicationDidFinishLaunching(); });
    // A signal ends the event loop like Quit; the controller, going with the delegate, waits
    // for its writer to put the last change on disk.
    const QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &application, &QApplication::quit);
    return QApplication::exec();
}
