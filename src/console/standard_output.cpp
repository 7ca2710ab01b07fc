// The standard handles captured at start-up, how standard output is buffered, and the
// highlight of error texts.
#include "console/standard_output.h"

#include <cstdarg>

#include "records/console_state.h"

// Whole buffers for a file, a pipe or NUL: the listing of a large tree goes out in a few
// writes instead of one per line.
static const size_t OUTPUT_BUFFER_SIZE = 65536;
static char output_buffer[OUTPUT_BUFFER_SIZE];

// The C runtime of Windows takes every character device for a terminal and leaves
// standard output unbuffered there, so a run redirected to NUL wrote each field on its
// own. Only the console decides that a person reads the output.
static void choose_output_buffering()
{
    DWORD mode = 0;
    console.output_is_console =
        console.output_handle != INVALID_HANDLE_VALUE && GetConsoleMode(console.output_handle, &mode) ? 1 : 0;
    if (console.output_is_console)
        setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    else
        setvbuf(stdout, output_buffer, _IOFBF, OUTPUT_BUFFER_SIZE);
}

void capture_console()
{
    console.input_handle = GetStdHandle(STD_INPUT_HANDLE);
    console.error_handle = GetStdHandle(STD_ERROR_HANDLE);
    console.output_handle = GetStdHandle(STD_OUTPUT_HANDLE);
    choose_output_buffering();
    if (console.output_handle == INVALID_HANDLE_VALUE)
        return;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(console.output_handle, &info))
        console.normal_attributes = info.wAttributes;
}

// Windows' C runtime buffers a line-buffered stream fully, so on a console the lines of
// an entry are flushed when the walk reaches the next one.
void show_printed_lines()
{
    if (console.output_is_console)
        fflush(stdout);
}

int output_lost()
{
    if (!ferror(stdout))
        return 0;
    console.aborted = 1;
    return 1;
}

void highlight_on(HANDLE handle)
{
    if (handle != INVALID_HANDLE_VALUE)
        SetConsoleTextAttribute(handle, static_cast<WORD>(~console.normal_attributes & 0xFF));
}

void highlight_off(HANDLE handle)
{
    if (handle != INVALID_HANDLE_VALUE)
        SetConsoleTextAttribute(handle, console.normal_attributes);
}

void print_highlighted(FILE* stream, const char* format, ...)
{
    fflush(stdout);
    fflush(stderr);
    highlight_on(console.output_handle);
    va_list arguments;
    va_start(arguments, format);
    vfprintf(stream, format, arguments);
    va_end(arguments);
    fflush(stream);
    highlight_off(console.output_handle);
}
