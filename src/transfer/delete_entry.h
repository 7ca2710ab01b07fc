// Deleting the selected entries, and the emptied source directories of a move.
#pragma once

// Deletes the current entry (with /RV a file only once it equals its destination).
// 1 = go on with the walk, 0 = stop the run.
int delete_entry();

// Removes a directory, clearing the attributes that would refuse it. 1 = removed;
// -1 = not, and the walk goes on; 0 = not, and the entry has failed (confirmation on
// and the source path names a directory).
int remove_directory(const char* path);
