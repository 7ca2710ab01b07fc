// Requests from outside to end the run: SIGTERM, SIGHUP, SIGQUIT and SIGPIPE.
#pragma once

// Catches the four signals for the rest of the run, except one the process was started
// with ignored (nohup, a shell's trap), which stays ignored.
void catch_termination_signals();

// A descriptor that becomes readable when a request comes and stays so, for a wait on
// the terminal to end at once; -1 before the signals are caught.
int termination_descriptor();
