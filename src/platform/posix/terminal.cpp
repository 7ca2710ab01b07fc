// The terminal's key mode and its restoration.
//
// SIGINT is left alone: the program ignores it itself, and with the signal keys off
// Ctrl+C arrives as the character 3 anyway. The fatal signals the layer catches restore
// the terminal and are then raised again with their default action, so the exit status
// still tells what happened.
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "platform/posix/terminal.h"

static int terminal_fd = -2;           // -2: not looked for yet
static bool in_key_mode = false;
static bool handlers_installed = false;
static struct termios saved_mode;

int console_terminal()
{
    if (terminal_fd != -2)
        return terminal_fd;
    if (isatty(0)) {
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

// Only signals still at their default action are taken over: a program that set its
// own handler, or ignores the signal, keeps it.
static void install_handlers()
{
    if (handlers_installed)
        return;
    handlers_installed = true;
    atexit(restore_terminal);
    for (int signal_number : FATAL_SIGNALS) {
        struct sigaction current;
        if (sigaction(signal_number, nullptr, &current) != 0 || current.sa_handler != SIG_DFL)
            continue;
        struct sigaction action = {};
        action.sa_handler = restore_and_reraise;
        sigemptyset(&action.sa_mask);
        sigaction(signal_number, &action, nullptr);
    }
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
