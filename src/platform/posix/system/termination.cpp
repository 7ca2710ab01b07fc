// Requests to end the run: SIGTERM, SIGHUP, SIGQUIT and SIGPIPE, caught from the start.
//
// The handler notes the first signal and writes one byte into a pipe of its own. The
// program asks for the note at every poll and stops the run there, as for ESC; a wait
// for a key watches the pipe, so it ends whenever the signal comes and whichever thread
// the system gives it to. At the end the signal is raised again with its default action.
//
// SA_RESTART: a write to standard output or to a copy, or the wait for a /X child, that
// the signal interrupts goes on (the C runtime would take an interrupted write for a
// failed one and drop the buffered lines that say what was done). poll() is never
// restarted, with or without the flag. A run blocked for good (on a pipe nobody reads)
// never reaches its next poll: a second signal ends it at once, as it would have before.
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "platform/platform.h"
#include "platform/posix/console/followed_streams.h"
#include "platform/posix/console/terminal.h"
#include "platform/posix/system/termination.h"

static const int TERMINATION_SIGNALS[] = {SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};

static volatile sig_atomic_t requested_signal = 0;
static int request_pipe[2] = {-1, -1};

// The terminal first: a signal's default action runs no exit handlers. The signal is
// let through first, since a handler runs with its own signal held.
static void end_by(int signal_number)
{
    end_open_lines();
    suspend_key_mode();
    signal(signal_number, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal_number);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal_number);
}

// A closed pipe raises SIGPIPE at each later write: that one never ends the run at once.
static void note_request(int signal_number)
{
    if (requested_signal != 0) {
        if (signal_number != SIGPIPE)
            end_by(signal_number);
        return;
    }
    requested_signal = signal_number;
    const int saved = errno;
    if (request_pipe[1] >= 0)
        (void)!write(request_pipe[1], "", 1);
    errno = saved;
}

void catch_termination_signals()
{
    if (request_pipe[0] < 0 && pipe2(request_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        request_pipe[0] = request_pipe[1] = -1;
    for (int signal_number : TERMINATION_SIGNALS) {
        struct sigaction current;
        if (sigaction(signal_number, nullptr, &current) != 0 || current.sa_handler != SIG_DFL)
            continue;
        struct sigaction action = {};
        action.sa_handler = note_request;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        sigaction(signal_number, &action, nullptr);
    }
}

int termination_descriptor()
{
    return request_pipe[0];
}

bool termination_requested()
{
    return requested_signal != 0;
}

void end_as_requested()
{
    if (requested_signal != 0)
        end_by(requested_signal);
}
