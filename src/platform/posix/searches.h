// What the directory searches share with the rest of the layer.
#pragma once

#include <memory>
#include <string>

#include "platform/posix/directory_table.h"

// The table of the search started last, while that search is open and no table has been
// dropped since it started, when it searches host_directory; else null. The walker
// starts the search of a directory just before it asks for the short forms of its
// entries: the directory needs no second look.
std::shared_ptr<const DirectoryTable> searched_table(const std::string& host_directory);
