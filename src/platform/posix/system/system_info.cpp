// GetVersion and GetCurrentDirectoryA.
#include "platform/platform.h"
#include "platform/posix/paths/current_directory.h"

// The version of an NT-family Windows (6.2, build 9200): the top bit is clear.
DWORD GetVersion(void)
{
    return 0x23F00206;
}

// The host working directory on drive Z: (/home/u/x gives Z:\home\u\x). As on Windows,
// a buffer that is too small gets nothing and the result is the size it needs.
DWORD GetCurrentDirectoryA(DWORD buffer_length, LPSTR buffer)
{
    std::string text;
    const DWORD error = windows_current_directory(text);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return 0;
    }
    return copy_to_caller(text, buffer, buffer_length);
}
