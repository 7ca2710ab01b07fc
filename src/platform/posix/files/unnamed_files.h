// Files that get their name only once they are complete.
#pragma once

#include <string>
#include <sys/types.h>

// Creates a file in the directory of host_path, to be given that name later, and
// returns its descriptor, or -1 with errno set. access_flags holds O_WRONLY or O_RDWR
// and may add O_DSYNC. The file has no name at all where the host allows it; otherwise
// it stands under a temporary name beside host_path, written to *temporary (left empty
// for an unnamed file).
int create_unnamed_beside(const std::string& host_path, int access_flags, mode_t mode, std::string* temporary);

// Gives the file open on fd the name host_path. With replaces, what stands under the
// name by then is replaced in one step; without, the name must still be free (EEXIST).
// Returns 0 or the errno of the failure; on failure the file keeps no name of its own.
int give_name(int fd, const std::string& temporary, const std::string& host_path, bool replaces);

// A file that will not be named after all: its temporary name goes.
void discard_unnamed(const std::string& temporary);
