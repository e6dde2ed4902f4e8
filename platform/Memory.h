#pragma once

namespace platform {

// Hands the heap's free pages back to the system. Start-up frees a good deal (the notes file
// and its parse) in among memory still in use, which the allocator would otherwise keep.
void releaseFreeMemory();

} // namespace platform
