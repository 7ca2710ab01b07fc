// Whether the current source link and its destination are links with the same target.
#pragma once

#include "platform/platform.h"

// Looks dest_path up into dest_find_data for a source link, whatever the kind of what
// stands there: a link's kind is that of where it leads, which may differ at the
// destination (a relative target, a missing one). True when anything stands there.
bool find_link_destination();

// Whether the current entry or the destination that find_destination read is a link:
// then the two are compared as links, never by what they lead to.
bool links_compared();

// Prints why a comparison of links could not be made, as a file comparison says it:
// prefix, then the side that could not be read and the system's code.
void print_link_failure(LinkComparison outcome, const char* prefix);

// Compares source_path with dest_path as links. 1 = the same target, 0 = a difference
// (also a link against a file or a directory), -1 = one could not be read (shown). With
// newline_prefix an error text starts on a line of its own.
int compare_link_entry(int newline_prefix);
