// Finding the host entry a Windows path names: exact names first, then, for a name
// that did not come from a search (see path_roots.h), the one entry that matches
// ignoring case or by 8.3 alias.
#pragma once

#include <memory>
#include <string>

#include "platform/posix/paths/windows_path.h"
#include "platform/posix/searches/directory_table.h"

struct ResolvedPath {
    std::string host;   // the entry's host path; for a missing last component, as written
    bool exists;        // the last component exists (a path without components always does)
};

// Resolves the first count components. Every component before the last must be an
// existing directory (else ERROR_PATH_NOT_FOUND); the last may be missing, which is
// reported through exists, not as an error.
DWORD resolve_components(const WindowsPath& path, size_t count, ResolvedPath* resolved);

// The same, for a path of at least one component whose literal host path the caller
// found missing (lstat failed with literal_error).
DWORD resolve_unspelled(const WindowsPath& path, size_t count, int literal_error, ResolvedPath* resolved);

// Parses and resolves a whole path (no wildcards).
DWORD resolve_path(const char* windows_path, WindowsPath* path, ResolvedPath* resolved);

// The same, for a path that must exist: ERROR_FILE_NOT_FOUND when only the last
// component is missing.
DWORD resolve_existing(const char* windows_path, ResolvedPath* resolved);

// Resolves the first count components together with their 8.3 form: each component is
// replaced by its alias (or its own name when it is its own alias), joined with '\'.
// Every component must exist.
DWORD resolve_short_form(const WindowsPath& path, size_t count, std::string& host, std::string& short_form);

// "X:", "\" and "..\" as the path began, for texts that give the path back in its own form.
std::string windows_prefix_of(const WindowsPath& path);

// Appends a host name to a host directory path.
void append_host_name(std::string& host, const char* name);
