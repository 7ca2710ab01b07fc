// The program's one door to the operating system: the Windows interfaces it calls.
//
// On Windows these are <windows.h> itself. Elsewhere our POSIX layer provides the same
// names with the same behaviour. The few places where the two systems must differ stand
// behind the small functions declared below, each with a Windows and a POSIX version.
#pragma once

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include "posix/windows_api.h"
#endif

// The start-up convention of the command line: Windows hands the arguments over as
// typed; the POSIX layer turns every '/' into '\' in the arguments that do not begin
// with '/', so that host paths such as src/sub reach the program as Windows paths. It
// also ignores SIGXFSZ, so that a write past the file size limit fails like any write.
void prepare_arguments(int argc, char** argv);

// The two arguments every tool of the host answers, whatever else the command line
// holds: on POSIX exactly "--help" (the help, as /?) and "--version" (the version line).
// Windows has no such convention: there they are paths like any other.
enum HostRequest { HOST_REQUEST_NONE = 0, HOST_REQUEST_HELP, HOST_REQUEST_VERSION };
HostRequest host_request(const char* argument);

// Moves the cursor of a console back over a number of character cells, so that the
// progress text just printed is overwritten by the next. Windows moves it on the screen
// buffer; the POSIX layer sends the terminal's relative cursor moves. Nothing happens
// when the handle is no console.
void console_cursor_back(HANDLE console, int cells);

// Blanks the cursor's row of a console and leaves the cursor at its column 0. Windows
// prints the blanks through stream; the POSIX layer erases the row on the terminal.
void console_clear_row(HANDLE console, FILE* stream);

#include <cstddef>

// The walk's paths are a root the user typed (the source directory, the destination)
// followed by names its searches returned. Windows matches every name without case, so
// there this does nothing. The POSIX layer, where README and readme are two files,
// matches each name after a root registered with NAMES_FROM_SEARCHES exactly and only
// exactly, so that a path built from one file's name never reaches its twin or a file
// whose alias the name happens to be. The root's own components, the names after a root
// registered with NAMES_AS_TYPED (the upper-case 8.3 forms) and every path that begins
// with no registered root are found as typed names are: exactly, else the one entry
// that matches without case or by alias. Roots are registered once, after the lookups
// of what the user typed.
enum RootNames { NAMES_FROM_SEARCHES, NAMES_AS_TYPED };
void register_path_root(const char* root, size_t length, RootNames names_after_root);

// Command execution (/X): runs the command interpreter with its "/c" switch and the
// command, in the current directory with the program's environment, and waits for it.
// The interpreter's exit code is not wanted; the result says whether it could be
// started at all.
enum CommandStartResult {
    COMMAND_STARTED = 0,
    COMMAND_NOT_FOUND,       // ENOENT: the program or its path does not exist
    COMMAND_TOO_LONG,        // E2BIG: the command line is too long
    COMMAND_NOT_EXECUTABLE,  // ENOEXEC: not a program the system can run
    COMMAND_NO_MEMORY,       // ENOMEM
    COMMAND_INVALID_MODE,    // EINVAL
    COMMAND_OTHER_FAILURE
};
// interpreter: COMSPEC's value, or the fallback name COMMAND.COM or CMD.EXE (on POSIX
// those names mean /bin/sh, and "/c" becomes "-c"). command: the text after "/c ".
CommandStartResult run_command_interpreter(const char* interpreter, const char* command);

// The text of a path for a command line: on Windows the path itself; on POSIX its host
// form ('/' separators, no drive, the host's spelling of every existing component), so
// that the shell can use it. Writes at most out_size bytes with the terminator and
// returns the length of the whole text, like snprintf.
size_t command_path_text(const char* windows_path, char* out, size_t out_size);
