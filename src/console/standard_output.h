// The standard handles captured at start-up, how standard output is buffered, and the
// highlight of error texts.
#pragma once

#include <cstdio>

#include "platform/platform.h"

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
