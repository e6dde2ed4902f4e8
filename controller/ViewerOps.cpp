#include "controller/AppController.h"

// Placeholder until the image viewer lands.
void AppController::viewImages(NoteModel*, int) {}
