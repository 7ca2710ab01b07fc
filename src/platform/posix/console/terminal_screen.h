// The cursor of a terminal, followed over the bytes written to it.
#pragma once

#include <cstddef>
#include <sys/types.h>

#include "platform/platform.h"

// A terminal tells no cursor position without a question and an answer on its input, so
// the layer works it out from what it writes there. Rows count from the row where the
// current line began (after the last line feed); columns from 0 to the width less one.
struct TerminalScreen {
    dev_t device = 0;
    int column = 0;
    // The last column was just written: the cursor still stands on it, and the next
    // character goes to column 0 of the next row first.
    bool wrap_pending = false;
    int row = 0;
    // The lowest row the current line has reached, which the cursor may have left.
    int last_row = 0;
    // An escape sequence or a UTF-8 character cut in two by the end of a write.
    unsigned char escape_state = 0;
    int parameter = 0;
    int continuation_bytes = 0;
    unsigned code_point = 0;
};

// Moves the cursor as an xterm-like terminal of that width moves it for bytes, written
// in the code page's encoding.
void follow_written_bytes(TerminalScreen* screen, const char* bytes, size_t length, int width, UINT code_page);

// Whether anything stands on the cursor's row since the line's last carriage return or
// line feed, so that a prompt printed now would join it.
bool line_is_open(const TerminalScreen& screen);

// The row the cursor is on starts a new line, as after a line feed.
void start_new_line(TerminalScreen* screen);
