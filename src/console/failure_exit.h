// How an entry ends after its error was shown, for every operation that reads or writes
// files.
#pragma once

// Whether the run goes on after a failed entry: only with E, and not once ESC stopped it.
int goes_on_after_failure();

// For an entry whose line is still open. With E the line is ended, also after the abort
// message, and the run goes on (1) unless ESC stopped it (0). Without E the run stops (0)
// and the line stays open for the end of the run.
int failure_exit();
