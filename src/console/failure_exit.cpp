// The end of an entry whose operation failed.
#include "console/failure_exit.h"

#include <cstdio>

#include "records/console_state.h"
#include "records/run_settings.h"

// ESC stays in force: the run stops here, before the operations that follow a
// directory's contents, as it would at the next poll.
int goes_on_after_failure()
{
    return !console.aborted && settings.continue_on_error ? 1 : 0;
}

int failure_exit()
{
    if (settings.continue_on_error)
        fputs("\n", stdout);
    return goes_on_after_failure();
}
