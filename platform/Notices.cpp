#include "platform/Notices.h"

namespace platform {

Notices& Notices::shared()
{
    // Never torn down: a notice posted while the application exits finds it still there.
    static auto* notices = new Notices;
    return *notices;
}

} // namespace platform
