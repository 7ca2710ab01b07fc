// How an entry of a copy, comparison or deletion ends after its error was shown.
#pragma once

// With E the line is ended, also after the abort message, and the run goes on (1) unless
// ESC stopped it (0). Without E the run stops (0) and the line stays open for the end of
// the run.
int failure_exit();
