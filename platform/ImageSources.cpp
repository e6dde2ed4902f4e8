#include "platform/ImageSources.h"

#include "platform/DialogFolder.h"
#include "platform/Services.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QImageReader>
#include <QProcess>

namespace imagesources {

namespace {

QString imageFilter()
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    }
    return QStringLiteral("Images (%1)").arg(patterns.join(QLatin1Char(' ')));
}

QStringList dialogChoice(const QString& message)
{
    return QFileDialog::getOpenFileNames(nullptr, message, platform::dialogFolder(), imageFilter());
}

// The capture runs as a child copy of this program, so a crash or a stuck grab in the
// overlay can never take the notes down with it.
bool childCapture(const QString& file, std::function<void()> finished, QString* error)
{
    auto* process = new QProcess(QCoreApplication::instance());
    QObject::connect(process, &QProcess::finished, process, [process, finished] {
        process->deleteLater();
        finished();
    });
    process->start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--capture-region"), file});
    if (!process->waitForStarted(5000)) {
        if (error != nullptr) {
            *error = process->errorString();
        }
        process->deleteLater();
        return false;
    }
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
    const auto& launcher = platform::services().launchCapture;
    return launcher ? launcher(file, std::move(finished), error)
                    : childCapture(file, std::move(finished), error);
}

} // namespace imagesources
