// The four-way prompt and the beep.
#include "console/prompts.h"

#include <cstdio>

#include "console/keys.h"
#include "messages/messages.h"
#include "platform/platform.h"
#include "records/console_state.h"

static const DWORD PROMPT_POLL_MS = 100;
static const DWORD BEEP_GAP_MS = 50;

int confirm_entry(const char* prompt)
{
    if (console.skip_all)
        return 0;
    // The entry's line, still without its end, must stand before the prompt.
    fflush(stdout);
    fputs(prompt, stderr);
    for (;;) {
        int key = 0;
        do {
            Sleep(PROMPT_POLL_MS);
            poll_abort_keys(&key, 0);
        } while (key == 0);
        switch (key) {
        case ABORT_KEY:
            return -1;
        case 'Y':
        case 'y':
            fprintf(stderr, "%c", key);
            return 1;
        case 'A':
        case 'a':
            settings.confirm = 0;
            fprintf(stderr, "%c", key);
            return 1;
        case 'N':
        case 'n':
            fprintf(stderr, "%c", key);
            return 0;
        case 'X':
        case 'x':
            console.skip_all = 1;
            fprintf(stderr, "%c", key);
            return 0;
        default:
            fputs(MSG_BELL, stderr);
            break;
        }
    }
}

void beep()
{
    for (int i = 0; i < settings.beep_count; i++) {
        MessageBeep(MB_OK);
        Sleep(BEEP_GAP_MS);
    }
}
