// The end of a directory's copy on Windows.
#include "platform/platform.h"

// A Windows directory's read-only attribute never refuses new files, and its access
// rights come from where it was made: nothing waits for the end of the copy.
bool finish_directory_copy(const char*, const char*)
{
    return true;
}
