// Moving the cursor for progress figures that are rewritten in place.
#pragma once

#include <cstdio>

#include "platform/platform.h"

// Width of a progress figure such as "(%3d%%,%5dKB/sec)" while its numbers fit.
const int PROGRESS_FIELD_WIDTH = 18;

// Moves the cursor back over cells character cells; nothing without a console.
void cursor_back(HANDLE handle, int cells);

// Blanks the cursor's row and leaves the cursor at its column 0.
void clear_progress_line(HANDLE handle, FILE* stream);
