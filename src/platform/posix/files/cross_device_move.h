// Moving a file to another file system: a copy with its times and attributes, then the
// source removed.
#pragma once

#include <string>

#include "platform/platform.h"

// Returns ERROR_SUCCESS or the Windows code of the failure; on failure the destination
// is removed again and the source is as it was.
DWORD move_across_devices(const std::string& source, const std::string& destination);
