// The depth-first walk over the source tree, layer by layer.
#pragma once

// Opens layer 0, visits every entry and hands the selected ones to the operation.
void walk_source();
