#include "surfaces/NoteView.h"

#include "controller/AppController.h"
#include "model/NoteModel.h"

// Placeholder until the note view lands.
NoteView::NoteView(NoteModel* note, AppController* app, QWidget* parent)
    : QWidget(parent)
    , note_(note)
    , app_(app)
{
}

NoteView::~NoteView() = default;
