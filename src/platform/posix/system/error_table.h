// The one translation of errno values into Windows error codes.
#pragma once

#include "platform/platform.h"

// The Windows code for an errno value. ENOENT gives ERROR_FILE_NOT_FOUND unless the
// caller knows that a directory on the way is missing.
DWORD windows_error_of(int error_number, bool directory_missing = false);

// Sets the last error from errno (read at the call) and returns FALSE, for the common
// ending of a failed call.
BOOL fail_with_errno();
BOOL fail_with(DWORD code);

// After a host call on host_path failed with ENOENT: 2 when the parent directory is
// there, 3 when it is not; any other errno maps as above.
DWORD windows_error_for_path(int error_number, const char* host_path);
