// Copying the contents, times and attributes of the current file to dest_path.
#pragma once

#include "platform/platform.h"

// Copies the source, open for reading, to dest_path, which does not exist (any old one
// was deleted), then with V compares the copy and with R deletes the source. The source
// is closed. An incomplete copy leaves no destination behind. 1 = go on with the walk,
// 0 = stop the run.
int copy_file(HANDLE source);

// V: the copy is read back against its source (a link by its target), with its texts.
// 1 = equal.
int verify_copy();
