#include "platform/CoreDumps.h"

#include <QtGlobal>

#if defined(Q_OS_LINUX)
#include <sys/prctl.h>
#endif

namespace coredumps {

#if defined(Q_OS_LINUX)

namespace {
int g_before = -1;  // the setting before the first turn off; -1: never turned off
}

void allow(bool allowed)
{
    if (!allowed) {
        if (g_before < 0)
            g_before = ::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0);
        ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    } else if (g_before > 0) {
        // Only 0 and 1 may be set; 2 (root-only dumps) stays off.
        ::prctl(PR_SET_DUMPABLE, g_before == 1 ? 1 : 0, 0, 0, 0);
    }
}

bool allowed()
{
    return ::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) != 0;
}

#else

void allow(bool) {}
bool allowed() { return true; }

#endif

}  // namespace coredumps
