#pragma once

#include "model/ImageWork.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <deque>
#include <optional>

class AppController;
class NoteModel;

// Pictures added to notes (ImageOps.cpp): stored on the worker, they reach each note in the
// order they were added, whichever finished first.
class ImageQueue : public QObject {
public:
    explicit ImageQueue(AppController& app)
        : app_(app)
    {
    }

    void addImage(NoteModel* note, const QImage& image);
    void addImageFrom(NoteModel* note, Images::Source source);
    // Ctrl+V: the clipboard's picture, read without waiting for its owner.
    void pasteImage(NoteModel* note);
    void removeImage(NoteModel* note, const QString& name);
    void chooseImages(NoteModel* note);
    // A new note of the picture, once it is stored.
    void screenshotNote(const QImage& image);
    void screenshotNoteFrom(Images::Source source);
    // A new note of `text` and the picture, tucked into the pad once the picture is stored.
    void tuckedNoteFrom(Images::Source source, const QString& text);
    // A capture of the screen, into the note or, without one, into a new note.
    void captureScreenshot(NoteModel* into);

private:
    void imageStored(quint64 ticket, std::optional<QString> name);
    void attachImage(NoteModel* note, const QString& name);
    // The note's room for the next picture on its way, given up once that picture is in (or
    // could not be read).
    void makeRoom(NoteModel* note, QSize header);
    void giveUpRoom(NoteModel* note);

    struct PendingImage {
        QPointer<NoteModel> note;
        quint64 ticket = 0;
        bool ready = false;
        std::optional<QString> name;
    };
    AppController& app_;
    std::deque<PendingImage> pending_; // in the order added
    quint64 nextTicket_ = 0;
};
