// Layer 0 of the walk from the source argument, the destination lookup and search closing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "records/walk_state.h"

// The length of the source argument as layer 0 takes it, before the "*" it may append:
// a source that ends in "." or ".." takes a '\' after it.
size_t source_text_length(const char* source);

// Fills layer 0 (search_path, root_length) from the source argument and sets
// SOURCE_IS_DIRECTORY when the source names a directory itself.
void prepare_source_layer();

// Looks dest_path up into dest_find_data. 1 when an entry is found whose directory bit
// equals that of want_attributes, else 0. A sharing violation is tried again.
int find_destination(uint32_t want_attributes);

// Closes the search of a record of either table; 0 when FindClose fails.
int close_search(HANDLE* search_handle);
