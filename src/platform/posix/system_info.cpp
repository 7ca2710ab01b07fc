// GetVersion and GetCurrentDirectoryA.
#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "platform/platform.h"

// The version of an NT-family Windows (6.2, build 9200): the top bit is clear.
DWORD GetVersion(void)
{
    return 0x23F00206;
}

// The host working directory on drive Z: (/home/u/x gives Z:\home\u\x). As on Windows,
// a buffer that is too small gets nothing and the result is the size it needs.
DWORD GetCurrentDirectoryA(DWORD buffer_length, LPSTR buffer)
{
    char host[4096];
    if (getcwd(host, sizeof host) == nullptr) {
        SetLastError(errno == ERANGE ? ERROR_FILENAME_EXCED_RANGE : ERROR_PATH_NOT_FOUND);
        return 0;
    }
    const size_t length = 2 + strlen(host);
    if (buffer == nullptr || buffer_length < length + 1)
        return static_cast<DWORD>(length + 1);
    buffer[0] = 'Z';
    buffer[1] = ':';
    for (size_t i = 0; host[i] != '\0'; i++)
        buffer[2 + i] = host[i] == '/' ? '\\' : host[i];
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}
