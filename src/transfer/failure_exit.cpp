// The end of an entry whose operation failed.
#include "transfer/failure_exit.h"

#include <cstdio>

#include "records/console_state.h"
#include "records/run_settings.h"

int failure_exit()
{
    if (!settings.continue_on_error)
        return 0;
    fputs("\n", stdout);
    // ESC stays in force: the run stops here, before the operations that follow a
    // directory's contents, as it would at the next poll.
    return console.aborted ? 0 : 1;
}
