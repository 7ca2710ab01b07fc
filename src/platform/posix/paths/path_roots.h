// The roots the program registered (register_path_root): where in a path the names
// that came from searches begin, which are matched exactly and only exactly.
#pragma once

#include <cstddef>
#include <cstdint>

// No name of the path is matched only exactly.
const size_t NO_EXACT_NAMES = SIZE_MAX;

// The offset in text (length bytes) from which every component is matched exactly:
// the length of the registered root that decides for the text, or NO_EXACT_NAMES.
size_t exact_names_offset(const char* text, size_t length);

// Whether text lies below a root registered DESTINATION_NAMES: the program reads no
// short name and no stored bits of a file of the entry it names.
bool only_facts_read_below(const char* text, size_t length);

// Drops every registered root, for a caller that starts over (the layer's tests).
void forget_path_roots();
