// Requests to end the run on Windows: the console's close, logoff and shutdown events.
//
// Windows calls the handler on a thread of its own and ends the process as soon as the
// handler returns, so the handler notes the request and then waits: the run stops at its
// next poll, removes its unfinished copy and ends the process itself. Windows waits only
// so long (about five seconds after a close); a run waiting for a key then ends there,
// before any copy has begun. Ctrl+C is a key, and Ctrl+Break keeps its usual action.
#include "platform/windows/termination.h"

#include "platform/platform.h"

static volatile LONG requested = 0;

static BOOL WINAPI note_request(DWORD event)
{
    if (event != CTRL_CLOSE_EVENT && event != CTRL_LOGOFF_EVENT && event != CTRL_SHUTDOWN_EVENT)
        return FALSE;
    InterlockedExchange(&requested, 1);
    Sleep(INFINITE);
    return TRUE;
}

void catch_termination_events()
{
    SetConsoleCtrlHandler(note_request, TRUE);
}

bool termination_requested()
{
    return InterlockedCompareExchange(&requested, 0, 0) != 0;
}

void end_as_requested()
{
    if (termination_requested())
        ExitProcess(STATUS_CONTROL_C_EXIT);
}
