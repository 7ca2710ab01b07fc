// A test program that asks the four-way prompt once per argument and reports each
// answer, so that the prompt can be driven through a pseudo-terminal.
#include <cstdio>
#include <cstring>

#include "console/keys.h"
#include "console/prompts.h"
#include "driver/driver.h"
#include "platform/platform.h"
#include "records/console_state.h"
#include "records/run_settings.h"

int main(int argc, char** argv)
{
    start_up();
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "poll") == 0) {
            // Waits for a key typed between prompts and lets the abort poll take it, as
            // the walk would.
            while (!peek_key())
                Sleep(20);
            const int stop = poll_abort_keys(nullptr, 0);
            printf("[poll %d confirm=%d skip_all=%d]\n", stop, settings.confirm, console.skip_all);
        } else {
            const int answer = confirm_entry(argv[i]);
            printf("[answer %d confirm=%d skip_all=%d]\n", answer, settings.confirm, console.skip_all);
        }
        fflush(stdout);
    }
    return 0;
}
