// The names of one directory in NTFS order with their 8.3 aliases, built from one scan.
//
// A table is what a search walks through and what lookups by case and by alias consult.
// It holds the names only, in one buffer; the details of an entry are read from the
// host when a search returns it.
#pragma once

#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

#include "platform/platform.h"

struct TableEntry {
    uint32_t name;   // offset of the name as the program sees it
    uint32_t host;   // offset of the host name (the same offset when they are equal)
    uint32_t alias;  // offset of the generated alias, or NO_ALIAS
    uint16_t name_length;
    uint8_t type;    // d_type of the scan
};

const uint32_t NO_ALIAS = 0xFFFFFFFFu;

struct DirectoryTable {
    dev_t device;
    ino_t inode;
    int64_t modified_seconds;
    long modified_nanoseconds;
    int64_t changed_seconds;      // the status change time, which no program can set back
    long changed_nanoseconds;
    // The directory had not changed for longer than any time stamp's granularity when it
    // was read: a later change shows in its time stamps, so a name the table lacks is
    // truly missing. Otherwise a miss is checked by reading the directory again.
    bool complete;
    // Entries were added or removed by the layer since the aliases were given; lookups
    // by a name that cannot be an alias (one without '~') may use the table as it is.
    bool aliases_stale;
    std::string text;
    std::vector<TableEntry> entries;   // in NTFS order
    std::vector<uint32_t> by_alias;    // entries that have a generated alias, by alias
    std::vector<uint32_t> unshown;     // offsets of the host names the code page cannot show

    const char* name(const TableEntry& entry) const { return text.data() + entry.name; }
    const char* host_name(const TableEntry& entry) const { return text.data() + entry.host; }
    // The alias, or the name itself when the name is its own alias.
    const char* short_name(const TableEntry& entry) const
    {
        return text.data() + (entry.alias == NO_ALIAS ? entry.name : entry.alias);
    }
};

// Reads the directory open on fd (the descriptor stays open) into a table, from the
// descriptor's current position, which must be the start of the directory. status is the
// fstat of fd, which the caller has already made to look for a cached table. Returns
// ERROR_SUCCESS or the Windows code of the failure.
DWORD build_directory_table(int fd, const struct stat& status, DirectoryTable* table);

// The layer added the entry host_name (of d_type type) to the directory, or removed it:
// the table follows without a new scan, and its aliases are given again when next
// needed, as a new scan would give them. False when the table cannot follow (a name the
// program cannot show, or one it does not hold): then it must be dropped.
bool add_table_entry(DirectoryTable* table, const char* host_name, unsigned char type);
bool remove_table_entry(DirectoryTable* table, const char* host_name);

// Gives the aliases again after entries were added or removed, and packs the names.
void refresh_aliases(DirectoryTable* table);

// Whether a name could be a generated alias, which all hold '~'.
bool may_be_alias(const char* name, size_t length);

// The entry a Windows name denotes: the one spelled exactly so, else, unless the name
// is to be matched exactly (one that came from a search), the only entry whose name
// matches it ignoring case or whose alias matches it. -1 when there is none or more
// than one: the layer never guesses.
long find_table_entry(const DirectoryTable& table, const char* name, size_t length, bool exactly);

// The same, trying first the entry at hint: callers that go through a directory in its
// own order (the walker asking for the short form of each entry) find it there and are
// spared the search.
long find_table_entry_near(const DirectoryTable& table, const char* name, size_t length, size_t hint, bool exactly);
