// Writing a file's data: whole, or with its zeros left as holes where the source had them.
#pragma once

#include <cstddef>
#include <sys/stat.h>

// Whether the file open on fd, of that status, has holes: fewer blocks than its size
// needs, or, for a larger file whose blocks would hold it (metadata and blocks reserved
// past the end count too), a hole that the host finds before its end. The file's
// position is kept.
bool has_holes(int fd, const struct stat& status);

// Writes all of data at the file's position. Returns 0 or the errno of the failure
// (ENOSPC when the host takes nothing); *written is what was written before it.
int write_all(int fd, const char* data, size_t length, size_t* written);

// The same, except that zeros past the file's end are skipped instead of written, in
// pieces of 4 KiB aligned to the file offset (or the parts of them that the data
// covers). The file's size is right when it returns, so that a size limit fails here as
// a write would. *size is the file's size before and after: the file was made by the
// caller, and grows only through this.
int write_keeping_holes(int fd, const char* data, size_t length, off_t* size, size_t* written);
