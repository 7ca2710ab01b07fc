// The tree display (/T): one line per entry with the connecting lines of its layers.
#include "report/tree_display.h"

int tree_entry()
{
    return 1;
}
