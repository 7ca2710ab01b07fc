// Why a command interpreter could not be started: one mapping for both systems.
#include "platform/command_start.h"

#include <cerrno>

CommandStartResult command_start_failure(int error)
{
    switch (error) {
    case ENOENT: return COMMAND_NOT_FOUND;
    case E2BIG: return COMMAND_TOO_LONG;
    case ENOEXEC: return COMMAND_NOT_EXECUTABLE;
    case ENOMEM: return COMMAND_NO_MEMORY;
    case EINVAL: return COMMAND_INVALID_MODE;
    }
    return COMMAND_OTHER_FAILURE;
}
