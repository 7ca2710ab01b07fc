// The run's one operation, as the walker offers it an entry.
//
// Declared here, for the walker; defined above the operations, in
// driver/operation_dispatch.cpp, so that the walk includes none of them. The operations
// return 1 to go on with the walk and 0 to stop the run.
#pragma once

// The operation for a directory before its contents.
int operate_directory_before();

// The operation for a directory after its contents.
int operate_directory_after();

int operate_file();

// A copy or move, once the walk has been through a source directory: its copy is
// finished, then a move deletes the source directory if the walk emptied it.
void finish_walked_copy(bool source_emptied);
