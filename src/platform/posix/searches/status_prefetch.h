// A second thread that reads the status of a directory's entries ahead of the search
// that returns them.
//
// Windows hands a search its entries' facts with the names, from the directory's index;
// the host needs a statx and an attribute read per entry, each a path lookup in the
// kernel. While the program formats and prints one entry, the reader thread fetches the
// next ones, so the two halves of the work overlap on a machine with a free core.
#pragma once

#include <memory>
#include <string>

#include "platform/posix/files/entry_status.h"
#include "platform/posix/searches/directory_table.h"

struct StatusPrefetch;

// Starts reading the status of the table's entries from index first on (a chunk of
// them) in the directory open on fd, whose host path (ending in '/') is directory. Null
// when too few are left to be worth a hand-over or the thread cannot start; the caller
// then reads the entries itself.
std::shared_ptr<StatusPrefetch> start_prefetch(const DirectoryTable& table, size_t first, int fd,
                                               const std::string& directory);

// Whether the prefetch covers the table's entry at index.
bool prefetch_covers(const StatusPrefetch& prefetch, size_t index);

// The status of the entry at index of the table the prefetch started from, read by the
// thread when it has been, else here through directory_fd as read_entry_status does
// (read_here tells which). Returns 0 or the errno of the failure.
int prefetched_status(StatusPrefetch* prefetch, size_t index, const char* host_name, int directory_fd,
                      const char* name, const char* host_path, const char* shown_name, EntryStatus* status,
                      bool* read_here);

// The search no longer wants the prefetch: the thread stops reading for it.
void abandon_prefetch(StatusPrefetch* prefetch);
