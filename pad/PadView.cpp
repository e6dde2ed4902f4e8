#include "pad/PadView.h"

#include "controller/AppController.h"

// Placeholder until the pad view lands.
PadView::PadView(AppController* app, QWidget* parent)
    : QWidget(parent)
    , app_(app)
{
}

PadView::~PadView() = default;
