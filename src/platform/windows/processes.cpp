// The command interpreter of /X on Windows: the runtime's spawn call, waited for.
#include <cerrno>
#include <cstring>
#include <process.h>

#include "platform/platform.h"

// The runtime joins the arguments with blanks, so the child sees "interpreter /c command".
CommandStartResult run_command_interpreter(const char* interpreter, const char* command)
{
    const intptr_t result = _spawnlp(_P_WAIT, interpreter, interpreter, "/c", command, nullptr);
    if (result != -1)
        return COMMAND_STARTED;
    switch (errno) {
    case ENOENT: return COMMAND_NOT_FOUND;
    case E2BIG: return COMMAND_TOO_LONG;
    case ENOEXEC: return COMMAND_NOT_EXECUTABLE;
    case ENOMEM: return COMMAND_NO_MEMORY;
    case EINVAL: return COMMAND_INVALID_MODE;
    }
    return COMMAND_OTHER_FAILURE;
}

// Windows takes its own paths as they are.
size_t command_path_text(const char* windows_path, char* out, size_t out_size)
{
    const size_t length = strlen(windows_path);
    if (out_size > 0) {
        const size_t used = length < out_size - 1 ? length : out_size - 1;
        memcpy(out, windows_path, used);
        out[used] = '\0';
    }
    return length;
}
