// Setting the last-write time (/D) of the selected entries.
#include "change/date_change.h"

int change_date()
{
    return 1;
}
