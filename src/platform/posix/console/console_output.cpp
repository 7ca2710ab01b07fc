// The console's screen buffer as far as the program uses it: its size, the normal text
// attributes, the highlight and the cursor.
//
// A handle that is not a terminal is no console: the calls fail with
// ERROR_INVALID_HANDLE, as Windows does for redirected handles, and nothing is written.
#include <cstdio>
#include <string>
#include <sys/ioctl.h>

#include "platform/posix/console/followed_streams.h"
#include "platform/posix/console/terminal.h"
#include "platform/posix/system/handles.h"

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

// GetConsoleScreenBufferInfo: the screen buffer's size, cursor and attributes; fails for a
// handle that is no console (redirected). Here the buffer is the terminal's window (80x25
// when it does not say), the cursor always reads 0,0 and the attributes the normal ones.
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

// SetConsoleTextAttribute: the colours of what is written next. Here a terminal knows two
// states, and a handle that is no terminal fails.
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

// SetConsoleCursorPosition: moves the cursor to a cell of the screen buffer. Here it only
// says whether the handle is a terminal.
// The layer follows the cursor only within the current line (a terminal tells no
// absolute position), so it has no position to move to; the program moves the cursor
// through the two relative operations below instead.
BOOL SetConsoleCursorPosition(HANDLE console, COORD)
{
    return terminal_of(console) >= 0;
}

static void append_cursor_move(std::string& sequence, char final_byte, int count)
{
    if (count <= 0)
        return;
    char move[24];
    snprintf(move, sizeof move, "\033[%d%c", count, final_byte);
    sequence.append(move);
}

// Rows up, then the column. From a pending wrap the cursor still stands on the last
// column, and terminals differ on where a move left starts from there: a carriage return
// first makes every terminal count from column 0.
static void move_to(int fd, const TerminalScreen& screen, int row, int column)
{
    std::string sequence;
    append_cursor_move(sequence, 'A', screen.row - row);
    if (screen.wrap_pending || column > screen.column) {
        sequence.push_back('\r');
        append_cursor_move(sequence, 'C', column);
    } else {
        append_cursor_move(sequence, 'D', screen.column - column);
    }
    if (!sequence.empty())
        write_sequence(fd, sequence.c_str());
}

// console_cursor_back: Windows moves the cursor on its screen buffer, whose rows a long
// text wraps onto: the cells before column 0 are the end of the row above.
void console_cursor_back(HANDLE console, int cells)
{
    const int fd = terminal_of(console);
    const TerminalScreen* screen = fd < 0 ? nullptr : followed_screen(fd);
    if (screen == nullptr || cells <= 0)
        return;
    const int width = terminal_width(fd);
    const int here = screen->row * width + (screen->wrap_pending ? width : screen->column);
    const int target = here - cells;
    const int row = target >= 0 ? target / width : -((width - 1 - target) / width);
    move_to(fd, *screen, row, target - row * width);
}

// console_clear_row: Windows blanks the cursor's row with a row of blanks. The terminal
// erases instead, which leaves no deferred wrap behind, and erases every row the line took
// when it wrapped, so that no part of a long progress text stays; the cursor is left at
// column 0 of the line's first row.
void console_clear_row(HANDLE console, FILE*)
{
    const int fd = terminal_of(console);
    TerminalScreen* screen = fd < 0 ? nullptr : followed_screen(fd);
    if (screen == nullptr)
        return;
    std::string sequence;
    append_cursor_move(sequence, 'A', screen->row);
    sequence.append("\r\033[K");
    for (int row = 1; row <= screen->last_row; row++)
        sequence.append("\033[B\033[K");
    append_cursor_move(sequence, 'A', screen->last_row);
    write_sequence(fd, sequence.c_str());
    start_new_line(screen);
}
