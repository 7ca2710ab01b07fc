// Deleting the selected entries, and the emptied source directories of a move.
#pragma once

// Deletes the current entry. 1 = go on with the walk, 0 = stop the run.
int delete_entry();
