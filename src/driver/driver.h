// The driver: one run from start-up to the exit code.
#pragma once

#include "platform/platform.h"

// Start-up: SIGINT ignored, message language, console handles, closed searches.
void start_up();

// Reads every argument: options into the run settings, the first two paths as source
// and destination. Refused arguments are reported. 1 when every option was accepted.
int scan_arguments(int argc, char** argv);

// The whole run; returns the exit code.
int run_program(int argc, char** argv);

// The exit code of the run's counters and status.
int exit_code();
