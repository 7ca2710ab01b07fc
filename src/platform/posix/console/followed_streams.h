// Standard output and error on a terminal: written through the layer, which follows the
// terminal's cursor over everything written there.
#pragma once

#include "platform/posix/console/terminal_screen.h"

// At start-up, before anything is printed: each standard stream that is a terminal is
// replaced by one that writes the same bytes to the same descriptor and follows them;
// the end of the process ends an open line there (end_open_lines).
void follow_standard_streams();

// The screen descriptor fd (1 or 2) writes to, or null when it is no followed terminal.
// Standard output and error on one terminal share one screen.
TerminalScreen* followed_screen(int fd);

// The terminal's width in columns, 80 when it does not say.
int terminal_width(int fd);

// Ends the line on each followed terminal where the cursor stands inside one, so that the
// shell's prompt starts on a row of its own; files and pipes get nothing. Safe in a
// signal handler: it writes with write() alone.
void end_open_lines();

// A child process wrote to the terminals behind the layer's back; its output is taken to
// have ended its lines, as a shell takes it.
void take_lines_as_ended();
