// Progress text rewritten in place: the cursor moves of the console.
#include "console/progress_cursor.h"

void cursor_back(HANDLE handle, int cells)
{
    if (handle != INVALID_HANDLE_VALUE)
        console_cursor_back(handle, cells);
}

void clear_progress_line(HANDLE handle, FILE* stream)
{
    if (handle != INVALID_HANDLE_VALUE)
        console_clear_row(handle, stream);
}
