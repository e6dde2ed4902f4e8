#pragma once

#include <QString>

// The screen-capture child: shows a full-screen selection overlay over a grab of the main
// screen; a dragged rectangle is written to `file` as PNG (device pixels). Escape or a click
// without a drag writes nothing. Returns the process exit status (0 in every normal case).
int runCaptureRegion(const QString& file);
