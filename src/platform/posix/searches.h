// What the directory searches share with the rest of the layer.
#pragma once

#include <memory>
#include <string>
#include <sys/types.h>

#include "platform/posix/directory_table.h"

// The table of the search started last, while that search is open and no table has been
// dropped since it started, when it searches host_directory; else null. The walker
// starts the search of a directory just before it asks for the short forms of its
// entries: the directory needs no second look.
std::shared_ptr<const DirectoryTable> searched_table(const std::string& host_directory);

// The descriptor of host_directory held by the search whose record the program was
// handed last, with the directory's identity; -1 when that search does not hold it.
// The program acts on the entries of the directory it is reading: relative to this
// descriptor the host neither walks the path again nor follows a component that was
// swapped for a link meanwhile.
int searched_directory_descriptor(const std::string& host_directory, dev_t* device, ino_t* inode);
