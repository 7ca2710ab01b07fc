// Changes to the entries of a directory the caller owns but may not write.
#pragma once

#include <functional>
#include <string>

// Runs change, a host call that adds, removes or renames the entry host_path of its
// directory, returning 0 or the errno it failed with. When the directory refuses it
// (EACCES) for want of its owner's write or search bit and the caller owns it, the
// directory is given those bits for the one call and its mode back after it: a Windows
// directory's read-only attribute never refuses new or removed entries, and the owner of
// a tree can do to it all that root can.
int change_in_owned_directory(const std::string& host_path, const std::function<int()>& change);
