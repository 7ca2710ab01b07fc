// Progress text rewritten in place on the Windows console's screen buffer.
#include "platform/platform.h"

void console_cursor_back(HANDLE console, int cells)
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (console == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(console, &info))
        return;
    const int width = info.dwMaximumWindowSize.X > 0 ? info.dwMaximumWindowSize.X : 1;
    const int rows = cells / width;
    const int rest = cells - rows * width;
    COORD position = info.dwCursorPosition;
    position.Y = static_cast<SHORT>(position.Y - rows);
    if (position.Y < 0) {
        position.X = 0;
        position.Y = 0;
    } else if (rest != 0) {
        // The column stops at the left edge; it never wraps to the row above.
        position.X = static_cast<SHORT>(position.X - rest < 0 ? 0 : position.X - rest);
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
