// The walk over the source tree.
//
// The layer loop does not exist yet: the walk visits nothing.
#include "walk/walker.h"

void walk_source()
{
}
