// What the program learns about an entry: attributes, times and size, read from the host.
#pragma once

#include <cstdint>

#include "platform/platform.h"

struct EntryStatus {
    DWORD attributes;
    uint64_t creation_time;
    uint64_t last_access_time;
    uint64_t last_write_time;
    uint64_t size;
    bool is_directory;   // a directory or a link to one
    bool is_link;
    bool is_file;        // a regular file itself, not through a link
    uint64_t device;     // the identity of a file itself (is_file): its device and inode
    uint64_t inode;
    bool is_dangling;    // a link whose target is missing
    unsigned mode;       // permission bits of the entry (of the target for a link)
    unsigned owner;      // user id of the same
    bool has_stored;     // user.DOSATTRIB was read and holds stored_bits
    bool stored_unread;  // a search's file whose stored bits the run does not want
    DWORD stored_bits;
};

// Reads the entry at name inside the directory open on directory_fd (AT_FDCWD for a
// path). host_path is the same entry as a path, for its extended attribute; shown_name
// is its name as the program sees it, for the defaults of dot names.
// Returns 0 or the errno of the failure.
int read_entry_status(int directory_fd, const char* name, const char* host_path, const char* shown_name,
                      EntryStatus* status);

// The same for the record of a search: a file's stored bits are read only when the run
// wants them (searches_read_file_attributes); stored_unread says they were not.
int read_search_status(int directory_fd, const char* name, const char* host_path, const char* shown_name,
                       EntryStatus* status);

// The same without any stored bits, for an entry of which only the kind, the size and
// the times are wanted (and a file's read-only bit, its permission bits').
int read_facts_status(int directory_fd, const char* name, const char* shown_name, EntryStatus* status);

// The last component of a host path.
const char* host_last_component(const char* host_path);

// Fills a find record's attributes, times and size from a status.
void fill_find_record(const EntryStatus& status, WIN32_FIND_DATAA* record);

// The attribute word that the bits and the entry's kind give, with FILE_ATTRIBUTE_NORMAL
// when no other bit is set.
DWORD attribute_word(DWORD bits);
