#include "controller/AppController.h"
#include "controller/ClipboardOffer.h"
#include "controller/ImageQueue.h"
#include "controller/NoteSizes.h"
#include "model/Images.h"
#include "model/NoteGeometry.h"
#include "model/RelativeTime.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/ImageSources.h"
#include "platform/Log.h"
#include "sound/Sound.h"
#include "windows/Panel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPointer>
#include <QTime>
#include <QUuid>
#include <algorithm>

namespace {

// How long a clipboard owner may take to answer: the pad's offer gives up soon and tries
// again on the next change; a paste the user asked for waits a little longer.
constexpr int offerAnswerMs = 200;
constexpr int pasteAnswerMs = 1000;
// The offer's thumbnail, enough for its 54 x 36 frame at twice the pixels.
constexpr int offerThumbSide = 216;

void patAndTap()
{
    Sound::shared().play(Sound::Effect::Pat);
    haptic();
}

// The pixels a note of that paper width will show a new picture at: the worker makes that
// copy beside the stored bitmap, and showing it scales nothing on the GUI thread.
Images::DisplaySize shownAt(double paperW, double devicePixelRatio)
{
    return [paperW, devicePixelRatio](QSize stored) {
        return geometry::imagePixels(stored, paperW, devicePixelRatio);
    };
}

Images::Source sourceOf(const platform::ClipboardContent& content)
{
    return content.image.isNull() ? Images::Source::encoded(content.bytes)
                                  : Images::Source::of(content.image);
}

} // namespace

void ImageQueue::addImage(NoteModel* note, const QImage& image)
{
    addImageFrom(note, Images::Source::of(image));
}

void ImageQueue::addImageFrom(NoteModel* note, Images::Source source)
{
    if (note == nullptr || source.isNull()) {
        return;
    }
    const quint64 ticket = nextTicket_++;
    pending_.push_back({QPointer<NoteModel>(note), ticket, false, std::nullopt});
    // A large picture takes a while to read and store: the note shows at once that it is coming.
    makeRoom(note, Images::headerSize(source));
    const Panel* panel = app_.window(note);
    const qreal dpr = panel ? panel->devicePixelRatioF() : qGuiApp->devicePixelRatio();
    Images::store(
        std::move(source), this,
        [this, ticket](std::optional<QString> name) { imageStored(ticket, std::move(name)); },
        shownAt(note->paperW(), dpr));
}

void ImageQueue::imageStored(quint64 ticket, std::optional<QString> name)
{
    for (PendingImage& pending : pending_) {
        if (pending.ticket == ticket) {
            pending.ready = true;
            pending.name = std::move(name);
            break;
        }
    }
    // Pictures reach their notes in the order they were added, whichever finished first.
    while (!pending_.empty() && pending_.front().ready) {
        const PendingImage done = std::move(pending_.front());
        pending_.pop_front();
        giveUpRoom(done.note);
        if (done.name) {
            attachImage(done.note, *done.name);
        } else if (done.note) {
            app_.sizes().resize(done.note, true);
            app_.save(); // where it shrank back to
        }
    }
}

void ImageQueue::makeRoom(NoteModel* note, QSize header)
{
    note->setIncoming(note->incoming() + QList<QSize>{header});
    app_.sizes().resize(note, true);
}

void ImageQueue::giveUpRoom(NoteModel* note)
{
    if (note != nullptr && !note->incoming().isEmpty()) {
        note->setIncoming(note->incoming().mid(1));
    }
}

void ImageQueue::attachImage(NoteModel* note, const QString& name)
{
    // A note deleted (or crumpling on its way to Recently Deleted) while its picture was being
    // stored gets nothing, and no file is left behind.
    if (note == nullptr || note->deletedAt() || note->crumpled() || !app_.notes().contains(note)) {
        Images::remove({name});
        return;
    }
    note->setImages(note->images() + QStringList{name});
    app_.sizes().resize(note, true);
    app_.save(); // the place the window grew to
    patAndTap();
}

void ImageQueue::pasteImage(NoteModel* note)
{
    const QPointer<NoteModel> target(note);
    platform::desktop().readClipboard(
        this, pasteAnswerMs, [this, target](const platform::ClipboardContent& content) {
            if (target && content.kind == platform::ClipboardContent::Kind::Image) {
                addImageFrom(target, sourceOf(content));
            }
        });
}

void ImageQueue::removeImage(NoteModel* note, const QString& name)
{
    if (note == nullptr) {
        return;
    }
    QStringList images = note->images();
    images.removeAll(name);
    note->setImages(images);
    app_.removeUnlistedImages({name});
    app_.sizes().resize(note, true);
    app_.save(); // the place the window shrank to
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

void ImageQueue::screenshotNote(const QImage& image)
{
    screenshotNoteFrom(Images::Source::of(image));
}

void ImageQueue::screenshotNoteFrom(Images::Source source)
{
    // The note appears once its picture is stored: a picture that cannot be read makes none.
    Images::store(
        std::move(source), this,
        [this](const std::optional<QString>& name) {
            if (!name) {
                return;
            }
            NoteModel* note = app_.newNote(std::nullopt, QStringLiteral("blue"));
            const QTime time = platform::now().toLocalTime().time();
            note->setText(QCoreApplication::translate("Note", "Screenshot") +
                          QStringLiteral(" · ") + timeOfDay(time) + QLatin1Char('\n'));
            attachImage(note, *name);
            app_.drop(note);
        },
        shownAt(NoteModel::defaultPaperW, qGuiApp->devicePixelRatio()));
}

void ImageQueue::tuckedNoteFrom(Images::Source source, const QString& text)
{
    Images::store(
        std::move(source), this,
        [this, text](const std::optional<QString>& name) {
            if (!name) {
                return;
            }
            NoteModel* note = app_.newNote(std::nullopt, QStringLiteral("yellow"));
            note->setText(text);
            attachImage(note, *name);
            app_.showTucked();
        },
        shownAt(NoteModel::defaultPaperW, qGuiApp->devicePixelRatio()));
}

// Read again only when the clipboard has changed since, so a stuck owner costs one attempt
// per change and the offer, once made, stands without asking again.
ClipboardOffer::ClipboardOffer(AppController& app)
    : app_(app)
    , used_(platform::desktop().clipboardChangeCount())
{
}

void ClipboardOffer::setImage(const QImage& image)
{
    app_.publish(AppController::Field::ClipImage, [this, &image] { image_ = image; });
}

void ClipboardOffer::refresh()
{
    const int change = platform::desktop().clipboardChangeCount();
    if (change == read_ && change != used_) {
        return;
    }
    read_ = change;
    source_ = {};
    setImage(QImage());
    if (change == used_) {
        return;
    }
    platform::desktop().readClipboard(
        this, offerAnswerMs,
        [this, change](const platform::ClipboardContent& content) { offer(change, content); });
}

void ClipboardOffer::offer(int change, const platform::ClipboardContent& content)
{
    if (change != read_ || content.kind != platform::ClipboardContent::Kind::Image) {
        return;
    }
    const Images::Source source = sourceOf(content);
    // Decoded once on the worker into a thumbnail; the picture stays encoded until pasted.
    Images::thumbnail(source, offerThumbSide, this, [this, change, source](const QImage& thumb) {
        if (change == read_ && change != used_ && !thumb.isNull()) {
            source_ = source;
            setImage(thumb);
        }
    });
}

void ClipboardOffer::paste()
{
    if (image_.isNull()) {
        return;
    }
    Images::Source source = std::move(source_);
    used_ = platform::desktop().clipboardChangeCount();
    source_ = {};
    setImage(QImage());
    app_.images().screenshotNoteFrom(std::move(source));
}

void ImageQueue::chooseImages(NoteModel* note)
{
    if (note == nullptr) {
        return;
    }
    // The dialog runs its own event loop: the note may be deleted while it is open.
    QPointer<NoteModel> target(note);
    const QStringList files = imagesources::chooseFiles(
        QCoreApplication::translate("Note", "Choose images to add to “%1”").arg(note->title()));
    for (const QString& file : files) {
        if (target) {
            addImageFrom(target, Images::Source::file(file));
        }
    }
}

void ImageQueue::captureScreenshot(NoteModel* into)
{
    const QString file = QDir::tempPath() + QStringLiteral("/quillhaven-") +
                         QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() +
                         QStringLiteral(".png");
    QPointer<ImageQueue> self(this);
    QPointer<NoteModel> target(into);
    const bool intoNote = into != nullptr;
    auto finished = [self, target, intoNote, file] {
        // Read now (a few megabytes at most) and decoded on the worker; removed even when
        // nobody takes the image any more, so no shot lingers in /tmp.
        QFile shot(file);
        const QByteArray bytes = shot.open(QIODevice::ReadOnly) ? shot.readAll() : QByteArray();
        if (bytes.isEmpty()) {
            return;
        }
        shot.remove();
        if (!self) {
            return;
        }
        if (!intoNote) {
            self->screenshotNoteFrom(Images::Source::encoded(bytes));
        } else if (target) {
            self->addImageFrom(target, Images::Source::encoded(bytes));
        }
    };
    QString error;
    if (!imagesources::launchCapture(file, finished, &error)) {
        platform::log(QStringLiteral("Quillhaven: screencapture failed: ") + error);
    }
}
