// TEMPORARY until controller/Images.cpp lands. Delete.
#include "controller/AppController.h"
#include "model/Images.h"
void AppController::addImage(NoteModel* note, const QImage& image)
{
    if (auto name = Images::save(image)) {
        note->setImages(note->images() + QStringList{*name});
    }
}
void AppController::captureScreenshot(NoteModel*) {}
void AppController::chooseImages(NoteModel*) {}
void AppController::removeImage(NoteModel*, const QString&) {}
void AppController::viewImages(NoteModel*, int) {}
