// The wildcard rules of Windows directory searches.
#pragma once

#include <cstddef>

// Whether a name matches a search pattern the way FindFirstFileA matches it: '*' and '?'
// with their DOS meanings ('*.*' and '*' match every name, '*.' names without a dot,
// 'a.*' also 'a', 'file?.txt' also 'file.txt'), ASCII letters without regard to case.
bool wildcard_matches(const char* pattern, size_t pattern_length, const char* name, size_t name_length);
