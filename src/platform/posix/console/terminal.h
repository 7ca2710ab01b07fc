// The terminal keys are read from, and the mode it is put in while the program reads them.
#pragma once

// Whether standard descriptor fd (0, 1 or 2) is a terminal. Their kind does not change
// during a run, so the host is asked once for each; a child made by fork asks again.
bool standard_stream_is_terminal(int fd);

// The terminal: standard input when it is one, else /dev/tty. -1 when there is none.
// Finding it changes nothing on it.
int console_terminal();

// Puts the terminal in key mode on first use: no line editing, no echo, no signal keys,
// no flow control, Enter as '\r'. The previous mode comes back at exit, on the fatal
// signals, at the end of a run stopped by a request (termination.h), and while the job
// is stopped (SIGTSTP); key mode returns when it continues. False when there is no
// terminal.
bool enter_key_mode();

// The mode the terminal had before, for a child process that reads lines, or for the
// end of the process by a signal (safe in a signal handler); and key mode again once the
// child has ended.
void suspend_key_mode();
void resume_key_mode();
