// Progress text rewritten in place on the Windows console's screen buffer.
#include "platform/platform.h"

// The screen buffer wraps a long text at its width (dwSize.X, which the window may show
// only in part) and moves the cursor to the next row as soon as the last column is
// written: the cells before column 0 are the end of the row above.
void console_cursor_back(HANDLE console, int cells)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (console == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(console, &info))
        return;
    const int width = info.dwSize.X > 0 ? info.dwSize.X : 1;
    const int target = info.dwCursorPosition.Y * width + info.dwCursorPosition.X - cells;
    COORD position = {0, 0};
    if (target > 0) {
        position.X = static_cast<SHORT>(target % width);
        position.Y = static_cast<SHORT>(target / width);
    }
    SetConsoleCursorPosition(console, position);
}

void console_clear_row(HANDLE console, FILE* stream)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (console == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(console, &info))
        return;
    COORD position = {0, info.dwCursorPosition.Y};
    SetConsoleCursorPosition(console, position);
    fprintf(stream, "%*s", static_cast<int>(info.dwSize.X), "");
    fflush(stream);
    // A full row of blanks leaves the cursor on the next row.
    if (!GetConsoleScreenBufferInfo(console, &info))
        return;
    if (info.dwCursorPosition.Y > 0) {
        position = info.dwCursorPosition;
        position.Y = static_cast<SHORT>(position.Y - 1);
        SetConsoleCursorPosition(console, position);
    }
}
