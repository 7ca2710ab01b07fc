// Copying, updating and moving entries into the destination tree.
#pragma once

// Makes the destination follow the current entry: a directory is created, a file
// copied, replaced or moved as the operation and its letters say. 1 = go on with the
// walk, 0 = stop the run.
int copy_entry();

// After the walk has been through a source directory: its copy takes the source's
// permission bits last (see finish_directory_copy), whether the copy made it or found it.
void finish_copied_directory();
