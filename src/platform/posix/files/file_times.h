// FILETIME arithmetic shared by the layer's time, search and file functions.
#pragma once

#include <cstdint>

#include "platform/platform.h"

uint64_t filetime_value(const FILETIME* time);
void set_filetime_value(FILETIME* time, uint64_t value);

// A host time (seconds and nanoseconds since 1970 UTC) as a FILETIME value, kept to 100 ns.
uint64_t filetime_from_unix(int64_t seconds, long nanoseconds);

// Seconds east of UTC in force now (TZ, else the host zone).
int64_t current_utc_offset_seconds();
