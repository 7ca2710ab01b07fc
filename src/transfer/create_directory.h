// Creating a destination directory with the properties of its source.
#pragma once

#include <cstdint>

// Creates the directory named by dest_path as it stands (callers may have cut it to a
// prefix), from a template directory when one is given, then sets its attributes.
// With announce, the creation is shown on its own line. Nonzero when created.
int create_directory(const char* template_path, uint32_t attributes, int announce);
