// The console state captured at start-up, and the highlight of error texts.
#include "console/console_state.h"

#include <cstdarg>

ConsoleState console;

void capture_console()
{
    console.input_handle = GetStdHandle(STD_INPUT_HANDLE);
    console.error_handle = GetStdHandle(STD_ERROR_HANDLE);
    console.output_handle = GetStdHandle(STD_OUTPUT_HANDLE);
    if (console.output_handle == INVALID_HANDLE_VALUE)
        return;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(console.output_handle, &info))
        console.normal_attributes = info.wAttributes;
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
