// Console input: key events from the terminal for ReadConsoleInputA and PeekConsoleInputA.
//
// Each byte is one key, reported as a press followed by a release with the byte as its
// character, so a reader that acts on releases sees every key once. An escape sequence
// (cursor and function keys) is one key without a character. A lone ESC is told from
// the start of a sequence by time: a terminal sends a sequence in one piece, a person
// does not type '[' within a few milliseconds of ESC.
#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <poll.h>
#include <unistd.h>

#include "platform/posix/console/console_device.h"
#include "platform/posix/console/terminal.h"
#include "platform/posix/searches/recent_status.h"
#include "platform/posix/system/clock.h"
#include "platform/posix/system/error_table.h"
#include "platform/posix/system/handles.h"
#include "platform/posix/system/termination.h"

static const int ESCAPE_WAIT_MS = 30;
static const BYTE ESCAPE = 27;

// Virtual-key codes of the keys the layer reports.
enum : WORD {
    VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
    VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26,
    VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_F1 = 0x70,
    VK_PACKET = 0xE7, VK_NONAME = 0xFC
};
static const DWORD SHIFT_PRESSED = 0x0010;
static const DWORD LEFT_CTRL_PRESSED = 0x0008;

static BYTE raw_bytes[64];
static size_t raw_count = 0;
static INPUT_RECORD events[64];
static size_t event_count = 0;
static DWORD input_mode = 0x01F7;

static void push_key(WORD virtual_key, char character, DWORD control)
{
    if (event_count + 2 > sizeof events / sizeof events[0])
        return;
    for (BOOL down : {TRUE, FALSE}) {
        INPUT_RECORD record = {};
        record.EventType = KEY_EVENT;
        record.Event.KeyEvent.bKeyDown = down;
        record.Event.KeyEvent.wRepeatCount = 1;
        record.Event.KeyEvent.wVirtualKeyCode = virtual_key;
        record.Event.KeyEvent.uChar.AsciiChar = character;
        record.Event.KeyEvent.dwControlKeyState = control;
        events[event_count++] = record;
    }
}

static void push_byte_key(BYTE byte)
{
    if (byte >= 'a' && byte <= 'z')
        return push_key(static_cast<WORD>(byte - 'a' + 'A'), static_cast<char>(byte), 0);
    if ((byte >= 'A' && byte <= 'Z'))
        return push_key(byte, static_cast<char>(byte), SHIFT_PRESSED);
    if (byte >= '0' && byte <= '9')
        return push_key(byte, static_cast<char>(byte), 0);
    switch (byte) {
    case 8:
    case 127: // the terminal's Backspace is Windows's character 8
        return push_key(VK_BACK, 8, 0);
    case 9:
        return push_key(VK_TAB, 9, 0);
    case 13:
        return push_key(VK_RETURN, 13, 0);
    case ESCAPE:
        return push_key(VK_ESCAPE, static_cast<char>(ESCAPE), 0);
    case ' ':
        return push_key(VK_SPACE, ' ', 0);
    }
    if (byte >= 1 && byte <= 26)
        return push_key(static_cast<WORD>('A' + byte - 1), static_cast<char>(byte), LEFT_CTRL_PRESSED);
    push_key(VK_PACKET, static_cast<char>(byte), 0);
}

static WORD key_of_tilde_sequence(int number)
{
    static const struct { int number; WORD key; } keys[] = {
        {1, VK_HOME}, {2, VK_INSERT}, {3, VK_DELETE}, {4, VK_END}, {5, VK_PRIOR}, {6, VK_NEXT}, {7, VK_HOME},
        {8, VK_END}, {11, VK_F1}, {12, VK_F1 + 1}, {13, VK_F1 + 2}, {14, VK_F1 + 3}, {15, VK_F1 + 4},
        {17, VK_F1 + 5}, {18, VK_F1 + 6}, {19, VK_F1 + 7}, {20, VK_F1 + 8}, {21, VK_F1 + 9}, {23, VK_F1 + 10},
        {24, VK_F1 + 11}};
    for (const auto& entry : keys) {
        if (entry.number == number)
            return entry.key;
    }
    return VK_NONAME;
}

static WORD key_of_final(BYTE final_byte)
{
    switch (final_byte) {
    case 'A': return VK_UP;
    case 'B': return VK_DOWN;
    case 'C': return VK_RIGHT;
    case 'D': return VK_LEFT;
    case 'H': return VK_HOME;
    case 'F': return VK_END;
    case 'Z': return VK_TAB;
    case 'P': case 'Q': case 'R': case 'S': return static_cast<WORD>(VK_F1 + (final_byte - 'P'));
    }
    return VK_NONAME;
}

// Length of the escape sequence at the start of raw_bytes, 0 while it is incomplete.
static size_t sequence_length()
{
    if (raw_bytes[1] == 'O')
        return raw_count >= 3 ? 3 : 0;
    for (size_t i = 2; i < raw_count; i++) {
        if (raw_bytes[i] >= 0x40 && raw_bytes[i] <= 0x7E)
            return i + 1;
    }
    return 0;
}

static WORD key_of_sequence(size_t length)
{
    const BYTE final_byte = raw_bytes[length - 1];
    if (final_byte != '~')
        return key_of_final(final_byte);
    int number = 0;
    for (size_t i = 2; i < length - 1 && raw_bytes[i] >= '0' && raw_bytes[i] <= '9'; i++)
        number = number * 10 + (raw_bytes[i] - '0');
    return key_of_tilde_sequence(number);
}

static void consume_raw(size_t count)
{
    memmove(raw_bytes, raw_bytes + count, raw_count - count);
    raw_count -= count;
}

// Reads what the terminal has, waiting at most timeout_ms (-1: until something comes).
// False when nothing came, a request to end the run came, or the terminal is gone.
static bool read_raw(int fd, int timeout_ms, bool* gone)
{
    if (raw_count == sizeof raw_bytes)
        return true;
    struct pollfd wanted[2] = {{fd, POLLIN, 0}, {termination_descriptor(), POLLIN, 0}};
    int ready;
    do {
        ready = poll(wanted, 2, timeout_ms);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0 || wanted[1].revents != 0)
        return false;
    ssize_t got;
    do {
        got = read(fd, raw_bytes + raw_count, sizeof raw_bytes - raw_count);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
        *gone = true;
        return false;
    }
    raw_count += static_cast<size_t>(got);
    return true;
}

// Turns the first key of the raw bytes into events, waiting briefly for the rest of an
// escape sequence.
static void decode_key(int fd, bool* gone)
{
    if (raw_bytes[0] != ESCAPE) {
        push_byte_key(raw_bytes[0]);
        return consume_raw(1);
    }
    while (raw_count < 2 && read_raw(fd, ESCAPE_WAIT_MS, gone)) {
    }
    if (raw_count < 2 || (raw_bytes[1] != '[' && raw_bytes[1] != 'O')) {
        push_byte_key(ESCAPE);
        return consume_raw(1);
    }
    size_t length = sequence_length();
    while (length == 0 && read_raw(fd, ESCAPE_WAIT_MS, gone))
        length = sequence_length();
    if (length == 0)
        length = raw_count;
    push_key(key_of_sequence(length), 0, 0);
    consume_raw(length);
}

// The program peeks at every entry and every block, far more often than anyone types;
// asking the terminal at each peek would cost a host call as dear as the entry's own. Keys
// already read are seen at once; new ones wait at most this long, which nobody notices.
static const uint64_t PEEK_INTERVAL_MS = 5;
static uint64_t last_peek_ms = 0;
static bool peeked_before = false;

static bool terminal_due_for_peek()
{
    const uint64_t now = coarse_milliseconds();
    if (peeked_before && now - last_peek_ms < PEEK_INTERVAL_MS)
        return false;
    peeked_before = true;
    last_peek_ms = now;
    return true;
}

// Makes sure events are queued: waits for a key when wait is set, else only takes
// what is there. False when no event could be had; *gone when the terminal is gone.
static bool fill_events(int fd, bool wait, bool* gone)
{
    *gone = false;
    while (event_count == 0) {
        if (raw_count == 0 && !wait && !terminal_due_for_peek())
            return false;
        if (raw_count == 0 && !read_raw(fd, wait ? -1 : 0, gone))
            return false;
        decode_key(fd, gone);
    }
    return true;
}

// The terminal behind a console input handle, in key mode; -1 when the handle is no
// console (a redirected standard input) or there is no terminal.
static int console_fd_of(HANDLE console)
{
    HandleObject* object = handle_object(console);
    const bool standard_input = object != nullptr && object->kind == HandleKind::standard_stream && object->fd == 0;
    const bool console_handle = object != nullptr && (object->kind == HandleKind::console_input ||
                                                      (standard_input && standard_stream_is_terminal(0)));
    if (!console_handle || !enter_key_mode()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return -1;
    }
    return console_terminal();
}

static void take_events(PINPUT_RECORD buffer, DWORD length, LPDWORD read, bool remove)
{
    const size_t count = event_count < length ? event_count : length;
    memcpy(buffer, events, count * sizeof events[0]);
    if (remove) {
        memmove(events, events + count, (event_count - count) * sizeof events[0]);
        event_count -= count;
    }
    *read = static_cast<DWORD>(count);
}

// ReadConsoleInputA: waits for at least one event. Differs from Windows: a request to
// end the run (termination_requested) ends the wait as a failure.
BOOL ReadConsoleInputA(HANDLE console, PINPUT_RECORD buffer, DWORD length, LPDWORD read)
{
    *read = 0;
    const int fd = console_fd_of(console);
    if (fd < 0)
        return FALSE;
    bool gone = false;
    forget_recent_status();
    if (length > 0 && !fill_events(fd, true, &gone))
        return fail_with(ERROR_INVALID_HANDLE);
    take_events(buffer, length, read, true);
    return TRUE;
}

// PeekConsoleInputA: the pending input events, left pending, at once even when there are
// none. Here the terminal's bytes that have arrived become key events first; a terminal
// that has gone fails the call.
BOOL PeekConsoleInputA(HANDLE console, PINPUT_RECORD buffer, DWORD length, LPDWORD read)
{
    *read = 0;
    const int fd = console_fd_of(console);
    if (fd < 0)
        return FALSE;
    bool gone = false;
    if (length > 0 && !fill_events(fd, false, &gone) && gone)
        return fail_with(ERROR_INVALID_HANDLE);
    take_events(buffer, length, read, false);
    return TRUE;
}

// Standard output or error on a terminal: a console screen buffer, whose mode is fixed.
static bool is_terminal_output(const HandleObject* object)
{
    return object != nullptr && object->kind == HandleKind::standard_stream && object->fd != 0 &&
           standard_stream_is_terminal(object->fd);
}

// GetConsoleMode: the input or output mode of a console handle; fails for any other.
// The mode is kept for the program to read back; the terminal stays in key mode
// whatever it says, which is what mode 0 (the only one the program sets) means.
BOOL GetConsoleMode(HANDLE console, LPDWORD mode)
{
    if (is_terminal_output(handle_object(console))) {
        *mode = 0x0003;
        return TRUE;
    }
    if (console_fd_of(console) < 0)
        return FALSE;
    *mode = input_mode;
    return TRUE;
}

// SetConsoleMode: sets an input mode (line input, echo, Ctrl+C) or an output mode. Here an
// output mode is accepted and ignored, and an input mode only kept (see GetConsoleMode).
BOOL SetConsoleMode(HANDLE console, DWORD mode)
{
    if (is_terminal_output(handle_object(console)))
        return TRUE;
    if (console_fd_of(console) < 0)
        return FALSE;
    input_mode = mode;
    return TRUE;
}

HANDLE open_console_device()
{
    const int fd = console_terminal();
    if (fd < 0 || !enter_key_mode()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    HandleObject* object = new_handle_object(HandleKind::console_input, fd);
    if (object == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    return object;
}

// Characters of pending key presses first; keys without a character are dropped, as a
// console read drops them.
BOOL read_console_bytes(int fd, LPVOID buffer, DWORD to_read, LPDWORD read)
{
    char* out = static_cast<char*>(buffer);
    DWORD done = 0;
    bool gone = false;
    while (done == 0 && to_read > 0) {
        if (!fill_events(fd, true, &gone))
            return fail_with(ERROR_INVALID_HANDLE);
        size_t used = 0;
        for (; used < event_count && done < to_read; used++) {
            const KEY_EVENT_RECORD& key = events[used].Event.KeyEvent;
            if (key.bKeyDown && key.uChar.AsciiChar != 0)
                out[done++] = key.uChar.AsciiChar;
        }
        memmove(events, events + used, (event_count - used) * sizeof events[0]);
        event_count -= used;
    }
    if (read != nullptr)
        *read = done;
    return TRUE;
}

// MessageBeep: plays the sound of a message type, without waiting for it. Here the bell is
// written to the terminal whatever the type; without a terminal the call fails.
BOOL MessageBeep(UINT)
{
    const int fd = console_terminal();
    if (fd < 0)
        return fail_with(ERROR_INVALID_HANDLE);
    ssize_t written;
    do {
        written = write(fd, "\a", 1);
    } while (written < 0 && errno == EINTR);
    return written == 1 ? TRUE : fail_with_errno();
}
