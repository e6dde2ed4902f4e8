#include "controller/AppController.h"
#include "controller/ImageQueue.h"
#include "controller/Transfers.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <QUrl>

namespace {

// Larger text files are documents, not notes: they are linked instead.
constexpr qint64 textFileLimit = 1 << 20;

bool isTextFile(const QFileInfo& file)
{
    static const QStringList suffixes = {QStringLiteral("txt"), QStringLiteral("md"),
                                         QStringLiteral("markdown"), QStringLiteral("text")};
    return suffixes.contains(file.suffix().toLower()) && file.size() <= textFileLimit;
}

bool isPictureFile(const QString& path)
{
    return !QImageReader::imageFormat(path).isEmpty();
}

} // namespace

bool Transfers::canMakeNote(const QMimeData& data)
{
    return data.hasUrls() || data.hasImage() || !data.text().trimmed().isEmpty();
}

void Transfers::tuckText(const QString& text)
{
    NoteModel* note = app_.newNote(std::nullopt, QStringLiteral("yellow"));
    note->setText(text);
    app_.showTucked();
}

// A note of each text or picture file, and one of the links and other files together.
bool Transfers::notesFromUrls(const QList<QUrl>& urls)
{
    QStringList links;
    bool made = false;
    for (const QUrl& url : urls) {
        const QFileInfo file(url.toLocalFile());
        if (!url.isLocalFile()) {
            links << url.toString();
        } else if (isTextFile(file)) {
            QFile in(file.filePath());
            if (in.open(QIODevice::ReadOnly)) {
                tuckText(QString::fromUtf8(in.readAll()));
                made = true;
            }
        } else if (isPictureFile(file.filePath())) {
            app_.images().tuckedNoteFrom(Images::Source::file(file.filePath()),
                                         file.completeBaseName() + QLatin1Char('\n'));
            made = true;
        } else if (file.exists()) {
            links << url.toString();
        }
    }
    if (!links.isEmpty()) {
        tuckText(links.join(QLatin1Char('\n')));
    }
    return made || !links.isEmpty();
}

bool Transfers::noteFromDrop(const QMimeData& data)
{
    if (data.hasUrls()) {
        return notesFromUrls(data.urls());
    }
    if (data.hasImage()) {
        app_.images().tuckedNoteFrom(Images::Source::of(qvariant_cast<QImage>(data.imageData())),
                                     QString());
        return true;
    }
    if (data.text().trimmed().isEmpty()) {
        return false;
    }
    tuckText(data.text());
    return true;
}
