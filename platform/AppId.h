#pragma once

// The desktop id the menu entry, metainfo, icon, autostart entry and windows share. The build
// reads it from this line too, to name the files it installs.
#define QUILLHAVEN_APP_ID "io.github.quillhaven.Quillhaven"
