#include "platform/Memory.h"

#include <malloc.h>

namespace platform {

void releaseFreeMemory()
{
    ::malloc_trim(0);
}

} // namespace platform
