// The cache of directory tables, and the rule that drops a table when its directory changes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <sys/stat.h>

#include "platform/posix/searches/directory_table.h"

// The table of a host directory: the cached one while the directory is unchanged, else a
// new scan. fd, when not -1, is the directory already open, and not read yet (or
// rewound). On failure the result is null and *error holds the Windows code. status,
// when given, receives the directory's status, so that the caller need not ask again.
std::shared_ptr<const DirectoryTable> directory_table(const std::string& host_directory, int fd, DWORD* error,
                                                       struct stat* status = nullptr);

// The same for a directory whose status the caller has just read.
std::shared_ptr<const DirectoryTable> directory_table_of(const std::string& host_directory, const struct stat& status,
                                                        DWORD* error);

// The table of a directory whose status the caller has just read, for a lookup by a
// name that cannot be an alias: its aliases may be out of date (see aliases_stale).
std::shared_ptr<const DirectoryTable> directory_names(const std::string& host_directory, const struct stat& status,
                                                       DWORD* error);

// The same, but taking held, a table the caller kept, when it still describes the
// directory, although the cache may have let it go meanwhile.
std::shared_ptr<const DirectoryTable> current_table(const std::string& host_directory,
                                                     const std::shared_ptr<const DirectoryTable>& held, DWORD* error);

// The layer changed the directory (created, deleted, moved or renamed an entry in it):
// its table no longer describes it.
void forget_directory(const std::string& host_directory);
// The same for the directory that holds host_path, and for the directory of that identity.
void forget_parent_of(const std::string& host_path);
void forget_directory_identity(dev_t device, ino_t inode);
// Makes sure the cached table of the directory that holds host_path describes it now,
// before the layer changes that directory without having looked it up.
void confirm_parent_table(const std::string& host_path);

// The layer added the entry host_path (of d_type type) or removed it. The cached table
// of its directory follows when it was the one the layer last looked at (its lookup led
// to the change); otherwise it is dropped.
void note_entry_added(const std::string& host_path, unsigned char type);
void note_entry_removed(const std::string& host_path);
// The layer made the directory host_path: its parent follows, and the new directory has
// an empty table at once.
void note_directory_made(const std::string& host_path);

// Something outside the layer may have changed any directory (a child process ran).
void forget_all_directories();

// Rises every time a table is dropped, so that what was derived from tables (the alias
// form of the current directory) can tell that it is out of date.
uint64_t table_generation();

// Whether the table's directory may have had its table dropped after generation since:
// true when it did, and also when the layer can no longer tell (everything was
// forgotten, or too many tables were dropped since).
bool table_dropped_since(uint64_t since, const DirectoryTable& table);

// The host directory that holds host_path ("." for a bare name).
std::string parent_of(const std::string& host_path);
