// How an entry of a copy, comparison or deletion ends after its error was shown.
#pragma once

// With E the line is ended and the run goes on (1); otherwise, or after ESC, the run
// stops (0) and the line stays open for the abort message or the end of the run.
int failure_exit();
