// The depth-first walk over the source tree, layer by layer.
#pragma once

// Opens layer 0, visits every entry and hands the selected ones to the operation;
// reports a source that cannot be opened.
void walk_source();

// Visits the current entry of the current layer. 1 = go on, 0 = stop the run.
int walk_entry();
