#pragma once

// One step of a press, drag and release on a window's resize handle, as the window reports it
// to whoever sizes the note.
enum class ResizePhase { Down, Dragged, Up, Other };
