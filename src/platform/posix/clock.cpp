// GetTickCount and Sleep over the monotonic clock.
#include <ctime>

#include "platform/platform.h"

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
    struct timespec wait = {static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000};
    while (nanosleep(&wait, &wait) != 0) {
    }
}
