// The tree display (/T): one line per entry with the connecting lines of its layers.
#pragma once

#include <cstdint>

#include "records/walk_state.h"

// more[d] set: the directory at layer d has entries after the one open at that layer,
// so the column of layer d draws a vertical line. One flag per layer the walk can reach,
// so the deepest trees keep their lines.
struct TreeMargin {
    uint8_t more[LAYER_TABLE_SIZE];
    int32_t first_tree_line;
    int32_t tree_open_count;   // directories drawn whose contents are not finished
    // Their layers, outermost first. With /P the directories above the first one drawn
    // get no line, so the count alone does not tell a directory's second call from the
    // first call of one deeper down.
    int16_t open_layers[LAYER_TABLE_SIZE];
};

extern TreeMargin tree_margin;

// Moves the look-ahead search of the current layer on by one entry and records in
// more[depth] whether it found one, which it returns.
int advance_lookahead(uint8_t* more);

// The margin and connector of the current line, then the entry's name.
void draw_tree_prefix(uint8_t* more);

// Draws the current entry; a directory is called once before and once after its
// contents. Always 1: the tree never stops the walk by itself.
int tree_entry();
