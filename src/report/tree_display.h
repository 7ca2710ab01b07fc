// The tree display (/T): one line per entry with the connecting lines of its layers.
#pragma once

// Draws the current entry; a directory is called once before and once after its
// contents. Always 1: the tree never stops the walk by itself.
int tree_entry();
