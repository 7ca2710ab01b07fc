// What the directory searches share with the rest of the layer.
#pragma once

#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>

#include "platform/posix/paths/windows_path.h"
#include "platform/posix/searches/directory_table.h"

// The table of the search started last, while that search is open and no table has been
// dropped since it started, when it searches host_directory; else null. The walker
// starts the search of a directory just before it asks for the short forms of its
// entries: the directory needs no second look.
std::shared_ptr<const DirectoryTable> searched_table(const std::string& host_directory);

// The directory of an entry named exactly (a name from a search) when the search whose
// record the program was handed last holds it open: its descriptor, its identity, and
// where the entry's name begins in its host path. The program acts on the entries of
// the directory it is reading: relative to this descriptor the host neither walks the
// path again nor follows a component that was swapped for a link meanwhile.
struct SearchedParent {
    int fd = -1;
    dev_t device = 0;
    ino_t inode = 0;
    size_t name_offset = 0;

    // Where a host call reaches the entry at host: through the descriptor when there is
    // one, else by the whole path.
    int directory_fd() const { return fd >= 0 ? fd : AT_FDCWD; }
    const char* name_in(const std::string& host) const { return host.c_str() + (fd >= 0 ? name_offset : 0); }
};

// The directory of such an entry, without reading the entry: false, with parent->fd -1,
// when no open search holds it.
bool searched_parent_of(const WindowsPath& path, const std::string& host, SearchedParent* parent);

// The status of the entry at host, the path's host form, not following a link, read
// through that descriptor. False, with parent->fd -1, when no open search holds the
// entry's directory or the entry is not there: the caller then goes by the path.
bool searched_entry_status(const WindowsPath& path, const std::string& host, SearchedParent* parent,
                           struct stat* status);
