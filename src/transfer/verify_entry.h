// Verifying the source tree against the destination tree.
#pragma once

// Compares the current entry with its destination counterpart by contents or by
// properties and reports the outcome. 1 = go on with the walk, 0 = stop the run.
int verify_entry();
