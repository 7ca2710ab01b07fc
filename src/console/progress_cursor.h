// Moving the cursor for progress figures that are rewritten in place.
#pragma once

#include <cstdio>

#include "platform/platform.h"

// Moves the cursor back over cells character cells; nothing without a console.
void cursor_back(HANDLE handle, int cells);

// Prints the figure "(percent%,speedKB/sec)" on a stream, to be written over by the
// next one: the cursor of the stream's console goes back over the cells it took. Those
// are 18 only while the speed has five digits; any disk or page cache today is faster.
void print_progress_figure(FILE* stream, HANDLE handle, int percent, int speed);

// Blanks the cursor's row and leaves the cursor at its column 0.
void clear_progress_line(HANDLE handle, FILE* stream);
