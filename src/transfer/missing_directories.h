// The destination directories a file needs on its way, created like their sources.
#pragma once

// Creates, silently and from the outside in, every directory of dest_path below the
// destination root that does not exist yet, each with the attributes and properties of
// its source directory. 1 = all there; 0 = one failed (shown).
int create_missing_directories();
