// Size summation: file sizes rounded up to allocation units and added up.
#pragma once

#include <cstdint>

// Adds the units of a size to the total and, unless only the total is wanted, prints
// the running total.
void add_and_print_size(uint64_t size);

// The /S operation for one selected file: its units added, and the running total and
// the path printed unless only the total is wanted. Always 1.
int size_entry();
