#pragma once

namespace platform {

// Starts connecting to the session bus on a thread of its own and returns at once. The first
// widget that names itself for assistive technology connects the toolkit's accessibility
// bridge to that bus and waits for it (on a bare X server, for a bus launched on demand);
// begun early, the connection is made while the program builds its first window.
void connectSessionBusAhead();

} // namespace platform
