#include "controller/AppController.h"
#include "model/Images.h"
#include "model/RelativeTime.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/ImageSources.h"
#include "platform/Log.h"
#include "sound/Sound.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTime>
#include <QUuid>
#include <algorithm>

namespace {

void patAndTap()
{
    Sound::shared().play(Sound::Effect::Pat);
    haptic();
}

} // namespace

void AppController::addImage(NoteModel* note, const QImage& image)
{
    if (note == nullptr) {
        return;
    }
    const std::optional<QString> name = Images::save(image);
    if (!name) {
        return;
    }
    note->setImages(note->images() + QStringList{*name});
    resize(note, true);
    patAndTap();
}

void AppController::removeImage(NoteModel* note, const QString& name)
{
    if (note == nullptr) {
        return;
    }
    QStringList images = note->images();
    images.removeAll(name);
    note->setImages(images);
    removeUnlistedImages({name});
    resize(note, true);
}

void AppController::removeUnlistedImages(const QStringList& names)
{
    // A copied or hand-edited notes file can give two notes the same picture; the file goes
    // only with the last note that shows it.
    QStringList unlisted;
    for (const QString& name : names) {
        const bool listed = std::any_of(notes_.cbegin(), notes_.cend(), [&name](NoteModel* n) {
            return n->images().contains(name);
        });
        if (!listed && !unlisted.contains(name)) {
            unlisted << name;
        }
    }
    Images::remove(unlisted);
}

void AppController::screenshotNote(const QImage& image)
{
    NoteModel* note = newNote(std::nullopt, QStringLiteral("blue"));
    const QTime time = platform::now().toLocalTime().time();
    note->setText(QCoreApplication::translate("Note", "Screenshot") + QStringLiteral(" · ") +
                  timeOfDay(time) + QLatin1Char('\n'));
    addImage(note, image);
    drop(note);
}

void AppController::refreshClip()
{
    if (platform::desktop().clipboardChangeCount() != clipUsed) {
        setClipImage(clipboardImage());
    } else {
        setClipImage(QImage());
    }
}

void AppController::pasteClip()
{
    if (clipImage_.isNull()) {
        return;
    }
    const QImage image = clipImage_;
    clipUsed = platform::desktop().clipboardChangeCount();
    setClipImage(QImage());
    screenshotNote(image);
}

void AppController::chooseImages(NoteModel* note)
{
    if (note == nullptr) {
        return;
    }
    // The dialog runs its own event loop: the note may be deleted while it is open.
    QPointer<NoteModel> target(note);
    const QStringList files = imagesources::chooseFiles(
        QCoreApplication::translate("Note", "Choose images to add to “%1”").arg(note->title()));
    for (const QString& file : files) {
        const QImage image = Images::decodeFile(file);
        if (target && !image.isNull()) {
            addImage(target, image);
        }
    }
}

void AppController::captureScreenshot(NoteModel* into)
{
    const QString file = QDir::tempPath() + QStringLiteral("/quillhaven-") +
                         QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() +
                         QStringLiteral(".png");
    QPointer<AppController> self(this);
    QPointer<NoteModel> target(into);
    const bool intoNote = into != nullptr;
    auto finished = [self, target, intoNote, file] {
        const QImage image = Images::decodeFile(file);
        if (image.isNull()) {
            return;
        }
        // Removed even when nobody takes the image any more, so no shot lingers in /tmp.
        QFile::remove(file);
        if (!self) {
            return;
        }
        if (!intoNote) {
            self->screenshotNote(image);
        } else if (target) {
            self->addImage(target, image);
        }
    };
    QString error;
    if (!imagesources::launchCapture(file, finished, &error)) {
        platform::log(QStringLiteral("Quillhaven: screencapture failed: ") + error);
    }
}
