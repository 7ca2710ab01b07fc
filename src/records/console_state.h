// ConsoleState: the standard handles, the console's normal colours and the run's
// abort and skip-all flags.
#pragma once

#include <cstdint>

#include "platform/platform.h"

struct ConsoleState {
    HANDLE input_handle = INVALID_HANDLE_VALUE;
    HANDLE output_handle = INVALID_HANDLE_VALUE;
    HANDLE error_handle = INVALID_HANDLE_VALUE;
    uint16_t normal_attributes = 0;
    int32_t aborted = 0;
    int32_t skip_all = 0;
    // Standard output is a console a person reads (not a file, a pipe or NUL).
    int32_t output_is_console = 0;
};

extern ConsoleState console;
