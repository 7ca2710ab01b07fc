// Whether the current source file and its destination hold the same bytes.
#pragma once

// Compares source_path with dest_path over the source's size, or by their targets when
// either is a link. 1 = equal, 0 = a difference, -1 = an open, read or close failed
// (shown) or ESC came first. With newline_prefix an error text starts on a line of its
// own, otherwise it runs on after what the caller printed.
int compare_files(int newline_prefix);
