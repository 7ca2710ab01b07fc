// Verify: not built yet; every entry is left alone.
#include "transfer/verify_entry.h"

int verify_entry()
{
    return 1;
}
