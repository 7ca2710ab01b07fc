// Windows reports every attribute with each entry a search returns: nothing to choose.
#include "platform/platform.h"

void searches_read_file_attributes(bool)
{
}

void complete_file_attributes(HANDLE, WIN32_FIND_DATAA*)
{
}
