// The terminal's key mode and its restoration.
//
// SIGINT is left alone: the program ignores it itself, and with the signal keys off
// Ctrl+C arrives as the character 3 anyway. The fatal signals the layer catches restore
// the terminal and are then raised again with their default action, so the exit status
// still tells what happened. SIGTERM, SIGHUP, SIGQUIT and SIGPIPE are among them only
// in a process that has not caught them as requests to end the run (termination.cpp).
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <pthread.h>
#include <termios.h>
#include <unistd.h>

#include "platform/posix/console/terminal.h"

static int terminal_fd = -2;           // -2: not looked for yet
static volatile sig_atomic_t in_key_mode = false;
static bool handlers_installed = false;
static struct termios saved_mode;

static signed char standard_kinds[3] = {-1, -1, -1};   // -1 unknown, 0 not a terminal, 1 a terminal

static void forget_standard_kinds()
{
    for (signed char& kind : standard_kinds)
        kind = -1;
}

bool standard_stream_is_terminal(int fd)
{
    if (fd < 0 || fd > 2)
        return isatty(fd) != 0;
    if (standard_kinds[fd] < 0) {
        static const bool watched = pthread_atfork(nullptr, nullptr, forget_standard_kinds) == 0;
        (void)watched;
        standard_kinds[fd] = isatty(fd) ? 1 : 0;
    }
    return standard_kinds[fd] == 1;
}

int console_terminal()
{
    if (terminal_fd != -2)
        return terminal_fd;
    if (standard_stream_is_terminal(0)) {
        terminal_fd = 0;
    } else {
        terminal_fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (terminal_fd < 0)
            terminal_fd = -1;
    }
    return terminal_fd;
}

static void restore_terminal()
{
    if (in_key_mode)
        tcsetattr(terminal_fd, TCSANOW, &saved_mode);
    in_key_mode = false;
}

// SIGPIPE too: "orva | head" ends the program that way, and its terminal must not stay
// in key mode.
static const int FATAL_SIGNALS[] = {SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL};

static void restore_and_reraise(int signal_number)
{
    restore_terminal();
    signal(signal_number, SIG_DFL);
    raise(signal_number);
}

static bool apply_key_mode();

static void set_handler(int signal_number, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signal_number, &action, nullptr);
}

// Key mode again after the stop, unless the job went on in the background: changing the
// terminal from there would stop it again. A job stopped by SIGSTOP, which cannot be
// caught, kept key mode and gets it again too, since the shell may have reset the mode.
static void take_key_mode_again(int)
{
    if (in_key_mode && tcgetpgrp(terminal_fd) == getpgrp())
        apply_key_mode();
}

// Ctrl+Z while a child runs, or a "kill -TSTP": the shell gets its terminal back in its
// normal mode, and the program stops right here, until SIGCONT lets it go on.
static void stop_with_terminal_given_back(int signal_number)
{
    const bool had_key_mode = in_key_mode;
    restore_terminal();
    set_handler(signal_number, SIG_DFL);
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, signal_number);
    raise(signal_number);
    sigprocmask(SIG_UNBLOCK, &stop, nullptr);
    set_handler(signal_number, stop_with_terminal_given_back);
    in_key_mode = had_key_mode;
    take_key_mode_again(SIGCONT);
}

// Only signals still at their default action are taken over: a program that set its
// own handler, or ignores the signal, keeps it.
static void take_over(int signal_number, void (*handler)(int))
{
    struct sigaction current;
    if (sigaction(signal_number, nullptr, &current) != 0 || current.sa_handler != SIG_DFL)
        return;
    set_handler(signal_number, handler);
}

static void install_handlers()
{
    if (handlers_installed)
        return;
    handlers_installed = true;
    atexit(restore_terminal);
    for (int signal_number : FATAL_SIGNALS)
        take_over(signal_number, restore_and_reraise);
    take_over(SIGTSTP, stop_with_terminal_given_back);
    take_over(SIGCONT, take_key_mode_again);
}

static bool apply_key_mode()
{
    struct termios mode = saved_mode;
    mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ECHONL | ISIG | IEXTEN);
    mode.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP);
    mode.c_cc[VMIN] = 1;
    mode.c_cc[VTIME] = 0;
    if (tcsetattr(terminal_fd, TCSANOW, &mode) != 0)
        return false;
    in_key_mode = true;
    return true;
}

bool enter_key_mode()
{
    if (in_key_mode)
        return true;
    if (console_terminal() < 0)
        return false;
    // A job in the background may neither change the terminal nor read it (the system
    // would stop it), so it has no keys to read, as with no terminal at all.
    if (tcgetpgrp(terminal_fd) != getpgrp())
        return false;
    if (tcgetattr(terminal_fd, &saved_mode) != 0)
        return false;
    install_handlers();
    return apply_key_mode();
}

static bool suspended = false;

void suspend_key_mode()
{
    if (!in_key_mode)
        return;
    restore_terminal();
    suspended = true;
}

void resume_key_mode()
{
    if (!suspended)
        return;
    suspended = false;
    enter_key_mode();
}
