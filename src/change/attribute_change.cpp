// Adding and removing attributes (/+ and /-) of the selected entries.
#include "change/attribute_change.h"

int change_attributes()
{
    return 1;
}
