// The destination file that is its own source, reached by another route.
#pragma once

// Whether the current entry's destination (dest_path, which exists) is the very file of
// its source: a link, a mount, an alias or a mapped drive leading back. Such a file may
// never be deleted, replaced or counted as equal to itself.
bool destination_is_source();

// Shows why the entry stops there and ends it as a failed entry (failure_exit).
int refuse_own_source();
