// The program's one door to the operating system: the Windows interfaces it calls.
//
// On Windows these are <windows.h> itself. Elsewhere our POSIX layer provides the same
// names with the same behaviour. The few places where the two systems must differ stand
// behind the small functions declared below, each with a Windows and a POSIX version.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include "posix/windows_api.h"
#endif

// The start-up convention of the command line: Windows hands the arguments over as
// typed; the POSIX layer turns every '/' into '\' in the arguments that do not begin
// with '/', so that host paths such as src/sub reach the program as Windows paths.
void prepare_arguments(int argc, char** argv);
