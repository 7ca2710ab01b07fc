// The roots of the walk's paths on Windows: its file systems match every name without
// case, searched or typed, so there is nothing to tell apart.
#include "platform/platform.h"

void register_path_root(const char*, size_t, RootNames)
{
}
