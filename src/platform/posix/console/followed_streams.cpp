// The standard streams of a terminal, written through the layer so that it knows the
// terminal's cursor, as a Windows console knows the cursor of its screen buffer.
//
// Facts kept: one TerminalScreen per terminal that standard output or error writes to
// (two at most; the two streams share one when they reach the same terminal device, since
// a column is the terminal's, not the stream's), and which screen each descriptor
// writes to. The rule that keeps them true: once follow_standard_streams has run, every
// byte the process writes to descriptors 1 and 2 goes through write_followed (stdio's
// stdout and stderr are cookie streams over it; the layer's escape sequences go through
// those streams), which feeds each byte to its screen once the terminal took it. Only a
// child process (/X) writes behind the layer's back: take_lines_as_ended then starts over.
#include "platform/posix/console/followed_streams.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/console/terminal.h"

static TerminalScreen screens[2];
static int screens_in_use = 0;
static TerminalScreen* screen_of_descriptor[3] = {nullptr, nullptr, nullptr};

int terminal_width(int fd)
{
    struct winsize size = {};
    return ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

TerminalScreen* followed_screen(int fd)
{
    return fd == 1 || fd == 2 ? screen_of_descriptor[fd] : nullptr;
}

// Writes everything, as the descriptor's own stdio stream would; a short count tells
// stdio that the write failed.
static ssize_t write_followed(void* cookie, const char* bytes, size_t length)
{
    const int fd = static_cast<int>(reinterpret_cast<intptr_t>(cookie));
    TerminalScreen* screen = screen_of_descriptor[fd];
    size_t done = 0;
    while (done < length) {
        const ssize_t put = write(fd, bytes + done, length - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            break;
        follow_written_bytes(screen, bytes + done, static_cast<size_t>(put), terminal_width(fd), GetACP());
        done += static_cast<size_t>(put);
    }
    return done == 0 && length > 0 ? -1 : static_cast<ssize_t>(done);
}

static TerminalScreen* screen_of_device(dev_t device)
{
    for (int i = 0; i < screens_in_use; i++) {
        if (screens[i].device == device)
            return &screens[i];
    }
    screens[screens_in_use].device = device;
    return &screens[screens_in_use++];
}

// glibc's stdout and stderr are variables that a program may set, and stdio writes a
// stream of fopencookie through its function alone.
static void follow(int fd, FILE** stream, int buffering)
{
    struct stat status;
    if (!standard_stream_is_terminal(fd) || fstat(fd, &status) != 0)
        return;
    const cookie_io_functions_t functions = {nullptr, write_followed, nullptr, nullptr};
    FILE* replacement = fopencookie(reinterpret_cast<void*>(static_cast<intptr_t>(fd)), "w", functions);
    if (replacement == nullptr)
        return;
    setvbuf(replacement, nullptr, buffering, BUFSIZ);
    screen_of_descriptor[fd] = screen_of_device(status.st_rdev);
    *stream = replacement;
}

// exit() flushes the streams only after the handlers registered with atexit have run.
static void end_open_lines_at_exit()
{
    fflush(stdout);
    fflush(stderr);
    end_open_lines();
}

void follow_standard_streams()
{
    static bool followed = false;
    if (followed)
        return;
    followed = true;
    follow(1, &stdout, _IOLBF);
    follow(2, &stderr, _IONBF);
    if (screens_in_use > 0)
        atexit(end_open_lines_at_exit);
}

void end_open_lines()
{
    for (int fd = 1; fd <= 2; fd++) {
        TerminalScreen* screen = screen_of_descriptor[fd];
        if (screen == nullptr || !line_is_open(*screen))
            continue;
        ssize_t written;
        do {
            written = write(fd, "\n", 1);
        } while (written < 0 && errno == EINTR);
        if (written == 1)
            start_new_line(screen);
    }
}

void take_lines_as_ended()
{
    for (int i = 0; i < screens_in_use; i++)
        start_new_line(&screens[i]);
}
