// The layer's own clock, for the checks it spaces out in time.
#pragma once

#include <cstdint>

// Milliseconds of a monotonic clock that is read without a host call: the coarse clock
// the kernel maps into every process. It steps by the scheduler's tick (1 to 10 ms).
uint64_t coarse_milliseconds();
