// GetLastError and SetLastError: the Windows error code of the last failed call.
#include "platform/platform.h"

static DWORD last_error_code = ERROR_SUCCESS;

// GetLastError: the code the last failing call set; Windows keeps one per thread. Here
// one serves the process: only the program's own thread calls the Windows functions.
DWORD GetLastError(void)
{
    return last_error_code;
}

// SetLastError: sets the code GetLastError returns, as on Windows.
void SetLastError(DWORD code)
{
    last_error_code = code;
}
