// The attribute bits POSIX has no place for, kept in the extended attribute user.DOSATTRIB.
#pragma once

#include "platform/platform.h"

// Bits kept in user.DOSATTRIB: hidden, system, archive, and read-only for directories.
const DWORD STORED_FILE_BITS = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
const DWORD STORED_DIRECTORY_BITS = STORED_FILE_BITS | FILE_ATTRIBUTE_READONLY;

// The stored bits of an entry (following a link to a file); false when none are stored.
bool read_stored_bits(const char* host_path, DWORD* bits);
// The same for the entry name inside the directory open on directory_fd, which spares
// the host a walk of the whole path where it can read attributes that way.
bool read_stored_bits_at(int directory_fd, const char* name, const char* host_path, DWORD* bits);

// The same for the file open on fd.
bool read_stored_bits_on(int fd, DWORD* bits);

// Stores the bits, on a path or an open descriptor. Returns 0 or the errno of the failure
// (ENOTSUP on a file system without extended attributes).
int store_bits(const char* host_path, DWORD bits);
int store_bits_on(int fd, DWORD bits);

// The bits an entry shows when nothing is stored: hidden for names that begin with '.',
// archive for files.
DWORD default_bits(const char* name, bool is_directory);
