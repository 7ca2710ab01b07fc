// The times of a copied file: the source's, as the destination's file system can keep
// them.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Gives the open destination the creation, last access and last write times of the
// current source entry. On a file system that rounds a last write time up to even
// seconds (found out once per run) the time is rounded up first, so the copy is never
// older than its source. False when a time could not be set or read; the reason has
// been shown.
bool set_destination_times(HANDLE destination);
