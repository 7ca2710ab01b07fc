// Progress text rewritten in place: the cursor moves of the console.
#include "console/progress_cursor.h"

#include "messages/messages.h"
#include "records/console_state.h"

void cursor_back(HANDLE handle, int cells)
{
    if (handle != INVALID_HANDLE_VALUE)
        console_cursor_back(handle, cells);
}

void print_progress_figure(FILE* stream, HANDLE handle, int percent, int speed)
{
    const int cells = fprintf(stream, MSG_PROGRESS_FIGURE, percent, speed);
    fflush(stream);
    if (cells > 0)
        cursor_back(handle, cells);
}

void clear_progress_line(HANDLE handle, FILE* stream)
{
    if (handle != INVALID_HANDLE_VALUE)
        console_clear_row(handle, stream);
}
