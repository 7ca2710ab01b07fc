// The console's screen buffer as far as the program uses it: its size, the normal text
// attributes, the highlight and the cursor.
//
// A handle that is not a terminal is no console: the calls fail with
// ERROR_INVALID_HANDLE, as Windows does for redirected handles, and nothing is written.
#include <cstdio>
#include <sys/ioctl.h>

#include "platform/posix/handles.h"
#include "platform/posix/terminal.h"

// Light grey on black: what a terminal shows without attributes.
static const WORD NORMAL_ATTRIBUTES = 0x07;

// The terminal behind a handle, or -1.
static int terminal_of(HANDLE console)
{
    HandleObject* object = handle_object(console);
    if (object == nullptr || object->kind != HandleKind::standard_stream || !standard_stream_is_terminal(object->fd)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return -1;
    }
    return object->fd;
}

// Escape sequences go through the stdio stream of the descriptor, so that they land in
// order with what the program printed there.
static void write_sequence(int fd, const char* sequence)
{
    FILE* stream = fd == 2 ? stderr : stdout;
    fputs(sequence, stream);
    fflush(stream);
}

BOOL GetConsoleScreenBufferInfo(HANDLE console, PCONSOLE_SCREEN_BUFFER_INFO info)
{
    const int fd = terminal_of(console);
    if (fd < 0)
        return FALSE;
    struct winsize size = {};
    if (ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) {
        size.ws_col = 80;
        size.ws_row = 25;
    }
    const SHORT width = static_cast<SHORT>(size.ws_col);
    const SHORT height = static_cast<SHORT>(size.ws_row);
    info->dwSize = {width, height};
    info->dwCursorPosition = {0, 0};
    info->wAttributes = NORMAL_ATTRIBUTES;
    info->srWindow = {0, 0, static_cast<SHORT>(width - 1), static_cast<SHORT>(height - 1)};
    info->dwMaximumWindowSize = {width, height};
    return TRUE;
}

// The normal attributes reset the terminal; any other word is the program's highlight,
// which the terminal shows in reverse video.
BOOL SetConsoleTextAttribute(HANDLE console, WORD attributes)
{
    const int fd = terminal_of(console);
    if (fd < 0)
        return FALSE;
    write_sequence(fd, attributes == NORMAL_ATTRIBUTES ? "\033[0m" : "\033[7m");
    return TRUE;
}

// The layer does not follow the cursor over what the program prints, so it has no
// absolute position to move to; the program moves the cursor through the two relative
// operations below instead.
BOOL SetConsoleCursorPosition(HANDLE console, COORD)
{
    return terminal_of(console) >= 0;
}

// The terminal clamps a move left at its first column, as the console does.
void console_cursor_back(HANDLE console, int cells)
{
    const int fd = terminal_of(console);
    if (fd < 0 || cells <= 0)
        return;
    struct winsize size = {};
    const int width = ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
    char sequence[32];
    const int rows = cells / width;
    const int rest = cells % width;
    if (rows > 0) {
        snprintf(sequence, sizeof sequence, "\033[%dA", rows);
        write_sequence(fd, sequence);
    }
    if (rest > 0) {
        snprintf(sequence, sizeof sequence, "\033[%dD", rest);
        write_sequence(fd, sequence);
    }
}

// Carriage return and erase to the end of the row: the terminal's own way of blanking
// a row, which also avoids the deferred wrap a row full of blanks would leave pending.
void console_clear_row(HANDLE console, FILE*)
{
    const int fd = terminal_of(console);
    if (fd >= 0)
        write_sequence(fd, "\r\033[K");
}
