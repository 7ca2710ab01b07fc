// The driver: one run from start-up to the exit code.
#pragma once

#include "platform/platform.h"

// 1 when the messages are English for a console of this output code page and a user of
// this display language, 0 for Japanese.
int english_for_console(UINT code_page, LANGID user_language);

// Start-up: SIGINT ignored, message language, console handles, closed searches.
void start_up();

// Reads every argument: options into the run settings, the first two paths as source
// and destination. Refused arguments are reported. 1 when every option was accepted.
int scan_arguments(int argc, char** argv);

// The whole run; returns the exit code.
int run_program(int argc, char** argv);

// The exit code of the run's counters and status.
int exit_code();
