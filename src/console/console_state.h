// ConsoleState: the standard handles, the console's normal colours and the run's
// abort and skip-all flags.
#pragma once

#include <cstdint>
#include <cstdio>

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

// Takes the standard handles (input, error, output, in this order) and, when the
// output is a console, its normal text attributes; then chooses how standard output is
// buffered. Called before anything is printed.
void capture_console();

// Shows what an entry printed when a person reads the console, whatever the C runtime
// makes of line buffering; costs nothing when the output goes elsewhere.
void show_printed_lines();

// Inverted colours for an error text, and back.
void highlight_on(HANDLE handle);
void highlight_off(HANDLE handle);

// Whether a write to standard output failed (a full disk, an I/O error). The run's
// result lines are then lost, so the run stops: a batch file must never read success
// from it. A closed pipe ends the program through its signal before this is asked.
int output_lost();

// Prints one error text highlighted on a stream, flushed so that exactly the text is
// shown inverted. The format comes from the messages.
void print_highlighted(FILE* stream, const char* format, ...);
