// Telling the user about names the code page cannot show, which searches leave out.
#pragma once

#include <cstddef>

#include "platform/posix/searches/directory_table.h"

// Writes the program's line (set_unshown_name_line) on standard error for each name of
// the table that searches leave out, naming the directory, unless this run has reported
// that name before: a directory is searched again and again, and its table scanned again
// after every change.
// directory is the Windows text of the searched directory as the program gave it
// (length bytes; empty for the current directory; it may end in a separator).
void report_unshown_names(const DirectoryTable& table, const char* directory, size_t length);
