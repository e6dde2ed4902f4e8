#include "platform/ImageSources.h"

#include "platform/Backend.h"
#include "platform/DialogFolder.h"
#include "platform/Log.h"
#include "platform/Notices.h"
#include "platform/Services.h"
#include "platform/portal/PortalCapture.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QImage>
#include <QImageReader>
#include <QProcess>

namespace imagesources {

namespace {

// When the capture under way was asked for.
qint64 captureAskedMs = 0;

QString imageFilter()
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    }
    return QCoreApplication::translate("Note", "Images (%1)").arg(patterns.join(QLatin1Char(' ')));
}

QStringList dialogChoice(const QString& message)
{
    QFileDialog dialog(nullptr, message, platform::dialogFolder(), imageFilter());
    dialog.setFileMode(QFileDialog::ExistingFiles);
    platform::keepAboveNotes(&dialog);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

// Why the child ended without an image, when it was not the user's choice; empty otherwise.
QString childFailure(QProcess* process)
{
    if (process->exitStatus() == QProcess::CrashExit) {
        return QStringLiteral("the capture helper stopped unexpectedly");
    }
    if (process->exitCode() != captureFailedStatus) {
        return QString();
    }
    const QString said = QString::fromLocal8Bit(process->readAllStandardOutput()).trimmed();
    return said.isEmpty() ? QStringLiteral("the capture helper had no screen image") : said;
}

} // namespace

QString slowCaptureLine(qint64 askedMs, qint64 launchedMs, const QByteArray& helperErrors)
{
    constexpr qint64 slowMs = 2000;
    const QByteArray word = QByteArray(overlayShownWord) + ' ';
    const qsizetype at = helperErrors.lastIndexOf(word);
    if (at < 0) {
        return {};
    }
    bool ok = false;
    const qint64 shownMs =
        helperErrors.mid(at + word.size()).split('\n').value(0).trimmed().toLongLong(&ok);
    if (!ok || shownMs - askedMs <= slowMs) {
        return {};
    }
    const auto seconds = [](qint64 ms) { return QString::number(double(ms) / 1000, 'f', 1); };
    return QStringLiteral("Quillhaven: slow capture: the selection showed after %1 s (screen "
                          "image %2 s, helper %3 s)")
        .arg(seconds(shownMs - askedMs), seconds(launchedMs - askedMs),
             seconds(shownMs - launchedMs));
}

bool startCaptureChild(const QStringList& arguments, std::function<void()> finished, QString* error)
{
    auto* process = new QProcess(QCoreApplication::instance());
    const qint64 launchedMs = QDateTime::currentMSecsSinceEpoch();
    QObject::connect(process, &QProcess::finished, process, [process, finished, launchedMs] {
        process->deleteLater();
        const QString failure = childFailure(process);
        if (!failure.isEmpty()) {
            reportCaptureFailure(failure);
        }
        if (const QString slow =
                slowCaptureLine(captureAskedMs, launchedMs, process->readAllStandardError());
            !slow.isEmpty()) {
            platform::log(slow);
        }
        finished();
    });
    process->start(QCoreApplication::applicationFilePath(), arguments);
    if (!process->waitForStarted(5000)) {
        if (error != nullptr) {
            *error = process->errorString();
        }
        process->deleteLater();
        return false;
    }
    return true;
}

namespace {

bool realCapture(const QString& file, std::function<void()> finished, QString* error)
{
    const CaptureMethod method = captureMethod(platform::session().kind());
    if (method == CaptureMethod::ScreenGrab) {
        return startCaptureChild({QStringLiteral("--capture-region"), file}, std::move(finished),
                                 error);
    }
    // The desktop's picker waits for the user; a whole-screen shot comes at once.
    const std::chrono::milliseconds timeout =
        method == CaptureMethod::PortalRegion ? std::chrono::minutes(10) : std::chrono::minutes(1);
    capturePortal({QDBusConnection::sessionBus(), method, timeout, {}}, file, std::move(finished));
    return true;
}

} // namespace

QStringList chooseFiles(const QString& message)
{
    const auto& chooser = platform::services().chooseImages;
    const QStringList files = chooser ? chooser(message) : dialogChoice(message);
    platform::rememberDialogChoice(files.value(0));
    return files;
}

bool launchCapture(const QString& file, std::function<void()> finished, QString* error)
{
    captureAskedMs = QDateTime::currentMSecsSinceEpoch();
    const auto& launcher = platform::services().launchCapture;
    return launcher ? launcher(file, std::move(finished), error)
                    : realCapture(file, std::move(finished), error);
}

CaptureMethod captureMethod(const platform::SessionKind& session)
{
    if (!session.wayland()) {
        return CaptureMethod::ScreenGrab;
    }
    // GNOME and KDE draw their own region picker for an interactive shot; wlroots desktops
    // hand over the whole screen and leave the choosing to the program.
    const bool picker = session.compositor == platform::Compositor::Gnome ||
                        session.compositor == platform::Compositor::Kde;
    return picker ? CaptureMethod::PortalRegion : CaptureMethod::PortalScreen;
}

bool blankImage(const QImage& image)
{
    if (image.isNull()) {
        return true;
    }
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            if (qAlpha(line[x]) != 0 && (line[x] & 0x00ffffffu) != 0) {
                return false;
            }
        }
    }
    return true;
}

void reportCaptureFailure(const QString& reason)
{
    platform::log(QStringLiteral("Quillhaven: screencapture failed: ") + reason);
    platform::Notices::shared().post(
        QCoreApplication::translate("Capture", "The screen could not be captured: %1.")
            .arg(reason));
}

} // namespace imagesources
