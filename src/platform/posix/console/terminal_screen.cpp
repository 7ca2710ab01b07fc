// How an xterm-like terminal moves its cursor for the bytes written to it.
//
// Printable characters advance the cursor, one cell each, two for an East Asian wide
// character under UTF-8 (under code page 932 such a character is two bytes, one cell
// each). Writing the last column leaves the cursor on it with a wrap pending: only the
// next printable character goes to the next row, and carriage return, line feed,
// backspace and the cursor moves cancel the wrap, moving from the last column. Line feed
// arrives as carriage return and line feed (the terminal's ONLCR, which key mode leaves
// alone). Of the escape sequences only the relative moves ESC[nA, B, C and D move the
// cursor; the others (attributes, erasing) leave it where it is.
#include "platform/posix/console/terminal_screen.h"

enum EscapeState : unsigned char { IN_TEXT = 0, AFTER_ESCAPE, IN_SEQUENCE };

static const int TAB_WIDTH = 8;

static void go_down(TerminalScreen* screen, int rows)
{
    screen->row += rows;
    if (screen->row > screen->last_row)
        screen->last_row = screen->row;
}

static void put_character(TerminalScreen* screen, int cells, int width)
{
    if (cells == 0)
        return;
    if (screen->wrap_pending || screen->column + cells > width) {
        screen->column = 0;
        go_down(screen, 1);
    }
    screen->wrap_pending = false;
    screen->column += cells;
    if (screen->column >= width) {
        screen->column = width - 1;
        screen->wrap_pending = true;
    }
}

// East Asian wide and fullwidth characters take two cells, combining marks none, as
// the terminal's wcwidth counts them.
static int cells_of(unsigned code_point)
{
    static const unsigned WIDE[][2] = {
        {0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF}, {0x4E00, 0x9FFF},
        {0xA000, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF}, {0xFE30, 0xFE4F}, {0xFF00, 0xFF60},
        {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD},
    };
    if (code_point >= 0x0300 && code_point <= 0x036F)
        return 0;
    for (const auto& range : WIDE) {
        if (code_point >= range[0] && code_point <= range[1])
            return 2;
    }
    return 1;
}

static void move_cursor(TerminalScreen* screen, unsigned char final_byte, int width)
{
    const int count = screen->parameter > 0 ? screen->parameter : 1;
    switch (final_byte) {
    case 'A': screen->row -= count; break;
    case 'B': go_down(screen, count); break;
    case 'C': screen->column = screen->column + count < width ? screen->column + count : width - 1; break;
    case 'D': screen->column = screen->column > count ? screen->column - count : 0; break;
    default: return;
    }
    screen->wrap_pending = false;
}

// Parameters and intermediate bytes up to the final byte, which ends the sequence.
static void follow_sequence_byte(TerminalScreen* screen, unsigned char byte, int width)
{
    if (byte >= '0' && byte <= '9') {
        if (screen->parameter < 10000)
            screen->parameter = screen->parameter * 10 + (byte - '0');
        return;
    }
    if (byte >= 0x40 && byte <= 0x7E) {
        screen->escape_state = IN_TEXT;
        move_cursor(screen, byte, width);
    }
}

// A UTF-8 character cut short by a byte that cannot continue it shows as one replacement
// character.
static void end_cut_character(TerminalScreen* screen, int width)
{
    if (screen->continuation_bytes == 0)
        return;
    screen->continuation_bytes = 0;
    put_character(screen, 1, width);
}

static void follow_utf8_byte(TerminalScreen* screen, unsigned char byte, int width)
{
    if (byte >= 0x80 && byte <= 0xBF && screen->continuation_bytes > 0) {
        screen->code_point = (screen->code_point << 6) | (byte & 0x3F);
        if (--screen->continuation_bytes == 0)
            put_character(screen, cells_of(screen->code_point), width);
        return;
    }
    end_cut_character(screen, width);
    if (byte >= 0xC0 && byte <= 0xF7) {
        screen->continuation_bytes = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : 1;
        screen->code_point = byte & (0x3F >> screen->continuation_bytes);
        return;
    }
    put_character(screen, 1, width);
}

static void follow_control(TerminalScreen* screen, unsigned char byte, int width)
{
    switch (byte) {
    case '\n': start_new_line(screen); return;
    case '\r': screen->column = 0; break;
    case '\b': screen->column = screen->column > 0 ? screen->column - 1 : 0; break;
    case '\t': {
        const int stop = (screen->column / TAB_WIDTH + 1) * TAB_WIDTH;
        screen->column = stop < width ? stop : width - 1;
        break;
    }
    case 0x1B:
        screen->escape_state = AFTER_ESCAPE;
        return;
    default: return;
    }
    screen->wrap_pending = false;
}

static void follow_byte(TerminalScreen* screen, unsigned char byte, int width, UINT code_page)
{
    if (screen->escape_state == AFTER_ESCAPE) {
        screen->escape_state = byte == '[' ? IN_SEQUENCE : IN_TEXT;
        screen->parameter = 0;
        return;
    }
    if (screen->escape_state == IN_SEQUENCE) {
        follow_sequence_byte(screen, byte, width);
        return;
    }
    if (byte < 0x20 || byte == 0x7F) {
        end_cut_character(screen, width);
        follow_control(screen, byte, width);
        return;
    }
    if (code_page == CP_UTF8 && (byte >= 0x80 || screen->continuation_bytes > 0))
        follow_utf8_byte(screen, byte, width);
    else
        put_character(screen, 1, width);
}

void follow_written_bytes(TerminalScreen* screen, const char* bytes, size_t length, int width, UINT code_page)
{
    // A terminal made narrower keeps the cursor within its last column.
    if (screen->column >= width)
        screen->column = width - 1;
    for (size_t i = 0; i < length; i++)
        follow_byte(screen, static_cast<unsigned char>(bytes[i]), width, code_page);
}

bool line_is_open(const TerminalScreen& screen)
{
    return screen.column > 0 || screen.wrap_pending || screen.row != 0;
}

void start_new_line(TerminalScreen* screen)
{
    screen->column = 0;
    screen->wrap_pending = false;
    screen->row = 0;
    screen->last_row = 0;
}
