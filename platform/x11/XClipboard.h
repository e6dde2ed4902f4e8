#pragma once

#include "platform/Desktop.h"

namespace platform {

// Reads the X clipboard over a connection of its own, so that a slow or stopped owner holds
// only the calling thread, and never longer than `answerMs` for one answer or `overallMs` in
// all. Text wins over an image, as everywhere. Without `wantData` only the kind is asked for.
// Text comes as UTF-8 or Latin-1, as the owner offers it.
// Blocks: call it off the GUI thread.
ClipboardContent readXClipboard(bool wantData, int answerMs, int overallMs);

} // namespace platform
