// Windows start-up: the runtime has already split the command line the Windows way.
#include "platform/platform.h"

void prepare_arguments(int, char**) {}

HostRequest host_request(const char*)
{
    return HOST_REQUEST_NONE;
}
