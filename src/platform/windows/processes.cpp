// The command interpreter of /X on Windows: the runtime's spawn call, waited for.
#include <cerrno>
#include <cstring>
#include <process.h>

#include "platform/command_start.h"
#include "platform/platform.h"

// The runtime joins the arguments with blanks, so the child sees "interpreter /c command".
// cmd.exe reads the names in it by its own rules: quoting them is the user's part.
CommandStartResult run_command_interpreter(const char* interpreter, const char* command, const CommandWord*, uint32_t)
{
    const intptr_t result = _spawnlp(_P_WAIT, interpreter, interpreter, "/c", command, nullptr);
    if (result != -1)
        return COMMAND_STARTED;
    return command_start_failure(errno);
}

bool command_words_are_literal()
{
    return false;
}

// Windows takes its own paths and names as they are.
size_t command_path_text(const char* windows_path, char* out, size_t out_size)
{
    return command_name_text(windows_path, strlen(windows_path), out, out_size);
}

size_t command_name_text(const char* windows_path, size_t length, char* out, size_t out_size)
{
    if (out_size > 0) {
        const size_t used = length < out_size - 1 ? length : out_size - 1;
        memcpy(out, windows_path, used);
        out[used] = '\0';
    }
    return length;
}
