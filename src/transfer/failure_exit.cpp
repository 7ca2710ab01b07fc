// The end of an entry whose operation failed.
#include "transfer/failure_exit.h"

#include <cstdio>

#include "console/console_state.h"
#include "driver/run_settings.h"

int failure_exit()
{
    // ESC stays in force: the next poll would stop the run anyway, so no line end is
    // printed after the abort message.
    if (!settings.continue_on_error || console.aborted)
        return 0;
    fputs("\n", stdout);
    return 1;
}
