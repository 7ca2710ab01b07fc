// Verify in content mode: a file agrees when its counterpart has the same size and bytes.
#pragma once

// Compares the current file, whose destination was found, with that destination and
// reports the outcome. 1 = go on with the walk, 0 = stop the run.
int verify_file_contents();
