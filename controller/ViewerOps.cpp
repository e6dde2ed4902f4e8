#include "controller/AppController.h"
#include "surfaces/ImageViewer.h"
#include "surfaces/ViewerPanel.h"

void AppController::viewImages(NoteModel* note, int index)
{
    if (viewer_) {
        viewer_->close();
        // The old viewer may be what called us (through its note): let its events finish.
        viewer_.release()->deleteLater();
    }
    auto panel = std::make_unique<ViewerPanel>(screen());
    panel->setContent(new ImageViewer(note, this, index, panel.get()));
    ViewerPanel* shown = panel.get();
    viewer_ = std::move(panel);
    shown->makeKey();
}
