// GetLastError and SetLastError: the Windows error code of the last failed call.
#include "platform/platform.h"

static DWORD last_error_code = ERROR_SUCCESS;

DWORD GetLastError(void)
{
    return last_error_code;
}

void SetLastError(DWORD code)
{
    last_error_code = code;
}
