// Deleting one file whatever its attributes.
#pragma once

// Clears read-only, hidden and system first, then deletes. 1 = deleted; 0 = not, with
// the reason shown.
int delete_file(const char* path);
