// The pseudo-terminal driver of the interactive tests.
#include "e2e/pty_session.h"

#include "e2e/run_program.h"

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <cstdlib>
#include <stdexcept>

static long long now_ms()
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

PtySession::PtySession(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& cwd, const std::map<std::string, std::string>& env)
{
    struct winsize size = {30, 100, 0, 0};
    child = forkpty(&master, nullptr, nullptr, &size);
    if (child < 0)
        throw std::runtime_error("forkpty failed");
    if (child == 0) {
        if (chdir(cwd.c_str()) != 0)
            _exit(126);
        std::vector<std::string> words = {program};
        words.insert(words.end(), arguments.begin(), arguments.end());
        exec_words(words, test_environment(env));
    }
}

PtySession::~PtySession()
{
    if (!exited && child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    close(master);
}

void PtySession::type(const std::string& keys)
{
    if (write(master, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size()))
        throw std::runtime_error("cannot type into the terminal");
}

bool PtySession::read_some(int timeout_ms)
{
    struct pollfd wanted = {master, POLLIN, 0};
    if (poll(&wanted, 1, timeout_ms) <= 0)
        return false;
    char buffer[4096];
    const ssize_t got = read(master, buffer, sizeof buffer);
    if (got <= 0)
        return false;
    screen.append(buffer, static_cast<size_t>(got));
    return true;
}

// Reads the terminal until done() holds or timeout_ms have passed; whether it holds.
template <typename Done>
bool PtySession::read_until(int timeout_ms, Done done)
{
    for (const long long deadline = now_ms() + timeout_ms; !done();) {
        const long long left = deadline - now_ms();
        if (left <= 0)
            return false;
        read_some(static_cast<int>(left < 50 ? left : 50));
    }
    return true;
}

bool PtySession::wait_for(const std::string& text, int timeout_ms, size_t from)
{
    return read_until(timeout_ms, [&] { return screen.find(text, from) != std::string::npos; });
}

void PtySession::settle(int milliseconds)
{
    read_until(milliseconds, [] { return false; });
}

bool PtySession::running()
{
    if (exited)
        return false;
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) {
        exited = true;
        exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
        return false;
    }
    return true;
}

void PtySession::send_signal(int signal_number)
{
    if (kill(child, signal_number) != 0)
        throw std::runtime_error("cannot signal the program");
}

bool PtySession::in_line_mode()
{
    struct termios mode;
    return tcgetattr(master, &mode) == 0 && (mode.c_lflag & ICANON) && (mode.c_lflag & ECHO);
}

int PtySession::wait_exit(int timeout_ms)
{
    read_until(timeout_ms, [this] { return !running(); });
    // Whatever is still buffered in the terminal.
    while (read_some(50)) {
    }
    return exited ? exit_code : -1;
}

// The process's own count of the bytes it wrote, from /proc.
static long long written_by(int pid)
{
    std::ifstream io("/proc/" + std::to_string(pid) + "/io");
    std::string field;
    long long count = -1;
    while (io >> field && field != "wchar:") {
    }
    io >> count;
    return count;
}

bool PtySession::wait_written(long long count, int timeout_ms)
{
    return read_until(timeout_ms, [&] { return written_by(child) >= count; });
}

void make_copy_tree(const TempTree& tree)
{
    std::string big(8 * 65536, '\0');
    for (size_t i = 0; i < big.size(); i++)
        big[i] = static_cast<char>(1 + (i * 7 + i / 65536) % 255);
    tree.file("src/a", "a");
    tree.file("src/big", big);
    tree.file("src/later", "x");
}
