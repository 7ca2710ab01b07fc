// Windows start-up: the runtime has already split the command line the Windows way;
// the console's close, logoff and shutdown events are watched from here on.
#include "platform/platform.h"
#include "platform/windows/termination.h"

void prepare_arguments(int, char**)
{
    catch_termination_events();
}

HostRequest host_request(const char*)
{
    return HOST_REQUEST_NONE;
}

bool windows_form_of_host_path(const char*, char*, size_t)
{
    return false;
}
