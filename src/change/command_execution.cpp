// Running a command (/X) for every selected entry, with its names put in.
#include "change/command_execution.h"

int execute_entry()
{
    return 1;
}
