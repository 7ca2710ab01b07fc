// Why a command interpreter (/X) could not be started, from the errno its start left.
#pragma once

#include "platform/platform.h"

// The result for a start that failed with errno error. The runtime's spawn call on
// Windows and posix_spawn on POSIX report their failures by the same errno names.
CommandStartResult command_start_failure(int error);
