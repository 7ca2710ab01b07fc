// GetTickCount and Sleep over the monotonic clock, and the coarse clock the layer spaces its checks by.
#include <ctime>

#include "platform/platform.h"
#include "platform/posix/searches/recent_status.h"
#include "platform/posix/system/clock.h"

// The precise monotonic clock falls back to a host call on machines whose time source
// the kernel cannot map; the coarse one never does.
#ifdef CLOCK_MONOTONIC_COARSE
static const clockid_t COARSE_CLOCK = CLOCK_MONOTONIC_COARSE;
#else
static const clockid_t COARSE_CLOCK = CLOCK_MONOTONIC;
#endif

uint64_t coarse_milliseconds()
{
    struct timespec now;
    clock_gettime(COARSE_CLOCK, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
}

// GetTickCount: milliseconds since the system started, wrapping after 49.7 days. Here the
// host's monotonic clock in milliseconds, cut to 32 bits the same way.
DWORD GetTickCount(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<DWORD>(static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

// Sleep(0) returns at once. On Windows it gives the rest of the time slice to a ready
// thread of this process's priority; the program has one thread, and the host's
// scheduler preempts it for other processes anyway, so a yield (a host call, twice per
// copied block) would change nothing but the cost.
void Sleep(DWORD milliseconds)
{
    if (milliseconds == 0)
        return;
    forget_recent_status();
    struct timespec wait = {static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000};
    while (nanosleep(&wait, &wait) != 0) {
    }
}
