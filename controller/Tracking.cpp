#include "controller/AppController.h"
#include "model/Store.h"

// Placeholder start-up until the controller core lands.
void AppController::start()
{
    setNotes(Store::load(this));
}
