// Reading keys from the console and the abort poll every long loop calls.
//
// Keys count when they are released: peek_key only sees presses, read_key only
// releases. When the standard input is no console, the console device itself is read.
#include "console/keys.h"

#include <cstdio>

#include "console/standard_output.h"
#include "messages/messages.h"
#include "platform/platform.h"
#include "records/console_state.h"

static HANDLE console_device = INVALID_HANDLE_VALUE;
static bool console_device_missing = false;

// CONIN$, opened on first use; null when there is none.
static HANDLE open_console_device()
{
    if (console_device == INVALID_HANDLE_VALUE && !console_device_missing) {
        console_device = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
        console_device_missing = console_device == INVALID_HANDLE_VALUE;
    }
    return console_device_missing ? nullptr : console_device;
}

// The character of the next key release on a console input handle; -1 when it cannot
// be read.
static int next_key_release(HANDLE input)
{
    for (;;) {
        INPUT_RECORD record;
        DWORD count = 0;
        if (!ReadConsoleInputA(input, &record, 1, &count))
            return -1;
        if (count == 0 || record.EventType != KEY_EVENT || record.Event.KeyEvent.bKeyDown)
            continue;
        return static_cast<signed char>(record.Event.KeyEvent.uChar.AsciiChar);
    }
}

int read_key()
{
    const int key = next_key_release(console.input_handle);
    if (key != -1)
        return key;
    HANDLE device = open_console_device();
    if (device == nullptr)
        return NO_CONSOLE_KEY;
    // The device is read raw, whatever mode it was left in.
    DWORD mode = 0;
    const bool has_mode = GetConsoleMode(device, &mode);
    SetConsoleMode(device, 0);
    const int device_key = next_key_release(device);
    if (has_mode)
        SetConsoleMode(device, mode);
    return device_key == -1 ? NO_CONSOLE_KEY : device_key;
}

// Whether a key press with a character waits on the console device; other input
// records in front of it are dropped. NO_CONSOLE_KEY when there is no device either.
static int device_key_waiting()
{
    HANDLE device = open_console_device();
    if (device == nullptr)
        return NO_CONSOLE_KEY;
    for (;;) {
        INPUT_RECORD record;
        DWORD count = 0;
        if (!PeekConsoleInputA(device, &record, 1, &count) || count == 0)
            return 0;
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown &&
            record.Event.KeyEvent.uChar.AsciiChar != 0)
            return 1;
        ReadConsoleInputA(device, &record, 1, &count);
    }
}

int peek_key()
{
    INPUT_RECORD record;
    DWORD count = 0;
    if (!PeekConsoleInputA(console.input_handle, &record, 1, &count))
        return device_key_waiting();
    if (count == 0)
        return 0;
    if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown)
        return record.Event.KeyEvent.wVirtualKeyCode;
    ReadConsoleInputA(console.input_handle, &record, 1, &count);
    return 0;
}

static int abort_run()
{
    print_highlighted(stdout, "%s", text(MSG_ABORT_BY_USER));
    console.aborted = 1;
    return 1;
}

// A request from outside to end the run (a signal, the console closed) is taken as ESC,
// with its message: the run stops at the same points, removes the same unfinished copy
// and says the same, and the way the process ends tells the caller what came.
int poll_abort_keys(int* key, int wait)
{
    if (!console.aborted && termination_requested())
        abort_run();
    if (console.aborted) {
        if (key != nullptr)
            *key = ABORT_KEY;
        return 1;
    }
    if (!wait) {
        // Without any console the walk goes on; a prompt goes on to read_key's answer.
        const int pending = peek_key();
        if (pending == 0 || (pending == NO_CONSOLE_KEY && key == nullptr))
            return 0;
    }
    bool suspended = false;
    for (;;) {
        int c = read_key();
        if (termination_requested()) {
            c = ABORT_KEY;
        } else if (c == NO_CONSOLE_KEY) {
            // Nobody can answer: a pause goes on, a prompt is answered as ESC, so
            // nothing is done without a confirmation.
            if (key == nullptr)
                return 0;
            c = ABORT_KEY;
        }
        if (key != nullptr)
            *key = c;
        if (c == ABORT_KEY)
            return abort_run();
        if (c == CTRL_C_KEY) {
            settings.confirm = 1;
            console.skip_all = 0;
            return 0;
        }
        if (key != nullptr)
            return 0;
        if (c == CTRL_S_KEY)
            suspended = true;
        else if (!suspended || c == CTRL_Q_KEY)
            return 0;
    }
}
