// The console on a pseudo-terminal: keys as a child reads them with the layer, and the
// terminal left to the user: a background job leaves it alone, a stopped job gives it
// back until it continues.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>

#include "layer_helpers.h"

// The exit code of a child that checks for itself, or 1000 + the signal that ended it.
static int status_of_child(pid_t pid)
{
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
}

// Runs leader as the session leader of a new pseudo-terminal and gives its exit code.
static int exit_code_on_new_terminal(int (*leader)())
{
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    if (child == 0)
        _exit(leader());
    const int code = status_of_child(child);
    close(master);
    return code;
}

struct ReportedKey {
    int down, virtual_key, character;
};

// A child on a pseudo-terminal that reads key events with ReadConsoleInputA and writes
// each to a pipe, until it has reported `expected` events or fails.
class KeyChild {
public:
    explicit KeyChild(int expected)
    {
        int report[2];
        if (pipe(report) != 0)
            return;
        pid_ = forkpty(&master_, nullptr, nullptr, nullptr);
        if (pid_ == 0) {
            close(report[0]);
            run_child(report[1], expected);
        }
        close(report[1]);
        report_ = report[0];
    }
    ~KeyChild()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(master_);
        close(report_);
    }
    pid_t pid() const { return pid_; }
    void type(const std::string& bytes) const { ASSERT_EQ(write(master_, bytes.data(), bytes.size()), (ssize_t)bytes.size()); }
    // The next `count` events the child reports, fewer when it ends first.
    std::vector<ReportedKey> events(size_t count) const
    {
        std::vector<ReportedKey> keys;
        ReportedKey key;
        while (keys.size() < count && read(report_, &key, sizeof key) == sizeof key)
            keys.push_back(key);
        return keys;
    }
    // The child reports a mark once it has put the terminal in key mode.
    bool wait_for_key_mode() const
    {
        const std::vector<ReportedKey> mark = events(1);
        return mark.size() == 1 && mark[0].down == -1;
    }

private:
    // Before the mark, a peek with nothing typed must return at once; the first key is
    // peeked until it is there (waiting on the terminal, not on a timer) and must stay for
    // the read.
    [[noreturn]] static void run_child(int report, int expected)
    {
        HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        INPUT_RECORD peeked;
        DWORD count = 1;
        const ReportedKey mark{-1, -1, -1};
        if (!PeekConsoleInputA(input, &peeked, 1, &count) || count != 0 || write(report, &mark, sizeof mark) != sizeof mark)
            _exit(4);
        struct pollfd typed = {0, POLLIN, 0};
        while (count == 0) {
            if (poll(&typed, 1, -1) != 1 || !PeekConsoleInputA(input, &peeked, 1, &count))
                _exit(5);
        }
        for (int reported = 0; reported < expected;) {
            INPUT_RECORD records[4];
            if (!ReadConsoleInputA(input, records, 4, &count))
                _exit(3);
            for (DWORD i = 0; i < count; i++, reported++) {
                const KEY_EVENT_RECORD& key = records[i].Event.KeyEvent;
                const ReportedKey out{key.bKeyDown, key.wVirtualKeyCode, (unsigned char)key.uChar.AsciiChar};
                if (reported == 0 && (out.virtual_key != peeked.Event.KeyEvent.wVirtualKeyCode || !out.down))
                    _exit(5);
                if (write(report, &out, sizeof out) != sizeof out)
                    _exit(4);
            }
        }
        exit(0);
    }

    pid_t pid_ = -1;
    int master_ = -1;
    int report_ = -1;
};

// Each key is a press then a release. Ctrl+C would end the child if the terminal still
// sent signals; Ctrl+S and Ctrl+Q would be swallowed by flow control. A lone escape is
// told from the start of a sequence by the silence after it: each row is typed once the
// one before has arrived.
TEST(ConsoleKeys, each_key_is_a_press_and_a_release_and_control_keys_arrive_as_characters)
{
    const struct {
        const char* bytes;
        std::vector<std::pair<int, int>> keys;  // character and virtual key
    } rows[] = {
        {"a\x03\x13\x11Y\r", {{'a', 'A'}, {3, 'C'}, {19, 'S'}, {17, 'Q'}, {'Y', 'Y'}, {13, 0x0D}}},
        {"\x1b", {{27, 0x1B}}},
        {"\x1b[A", {{0, 0x26}}},
        {"\x1bOP", {{0, 0x70}}},
    };
    KeyChild child(2 * 9);
    ASSERT_GT(child.pid(), 0);
    ASSERT_TRUE(child.wait_for_key_mode());
    for (const auto& row : rows) {
        child.type(row.bytes);
        const std::vector<ReportedKey> events = child.events(2 * row.keys.size());
        ASSERT_EQ(events.size(), 2 * row.keys.size()) << row.bytes;
        for (size_t i = 0; i < events.size(); i++) {
            EXPECT_EQ(events[i].down, i % 2 == 0 ? TRUE : FALSE) << row.bytes << " " << i;
            EXPECT_EQ(events[i].character, row.keys[i / 2].first) << row.bytes << " " << i;
            EXPECT_EQ(events[i].virtual_key, row.keys[i / 2].second) << row.bytes << " " << i;
        }
    }
}

// The layer learns once per process whether standard input is a terminal; a child made
// by fork onto a pseudo-terminal must not inherit the answer its parent got.
TEST(ConsoleKeys, child_on_a_terminal_does_not_inherit_a_redirected_parent_input)
{
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(open("/dev/null", O_RDONLY), 0);
        INPUT_RECORD record;
        DWORD count = 0;
        if (PeekConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), &record, 1, &count))
            _exit(10);
        _exit(exit_code_on_new_terminal([] {
            INPUT_RECORD record;
            DWORD count = 0;
            return PeekConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), &record, 1, &count) && count == 0 ? 0 : 20;
        }));
    }
    EXPECT_EQ(status_of_child(pid), 0);
}

// The session leader owns the terminal; a job of its own in a new process group is in
// the background, as after "orva &" in a shell. Taking the input handle must neither
// stop it (2) nor read keys (1).
static int peek_from_a_background_job()
{
    const pid_t job = fork();
    if (job == 0) {
        setpgid(0, 0);
        INPUT_RECORD record;
        DWORD count = 0;
        _exit(PeekConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), &record, 1, &count) ? 1 : 0);
    }
    int status = 0;
    waitpid(job, &status, WUNTRACED);
    if (WIFSTOPPED(status)) {
        kill(job, SIGKILL);
        return 2;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 3;
}

// The job stops itself as Ctrl+Z in the shell would stop it. It runs in a process group of
// its own that is the terminal's foreground group: the system does not stop a group
// that has no parent in the session, such as the session leader's own.
static int stop_and_continue_job()
{
    int foreground[2];
    if (pipe(foreground) != 0)
        return 14;
    const pid_t job = fork();
    if (job == 0) {
        setpgid(0, 0);
        char given = 0;
        if (read(foreground[0], &given, 1) != 1)
            _exit(15);
        GetStdHandle(STD_INPUT_HANDLE);
        raise(SIGTSTP);
        struct termios mode;
        _exit(tcgetattr(0, &mode) == 0 && (mode.c_lflag & (ICANON | ECHO)) == 0 ? 0 : 12);
    }
    setpgid(job, job);
    signal(SIGTTOU, SIG_IGN);
    tcsetpgrp(0, job);
    if (write(foreground[1], "", 1) != 1)
        return 14;
    int status = 0;
    waitpid(job, &status, WUNTRACED);
    if (!WIFSTOPPED(status)) {
        kill(job, SIGKILL);
        return 10;
    }
    struct termios mode;
    const bool given_back = tcgetattr(0, &mode) == 0 && (mode.c_lflag & ICANON) && (mode.c_lflag & ECHO);
    kill(job, SIGCONT);
    waitpid(job, &status, 0);
    if (!given_back)
        return 11;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 13;
}

// 10: the job did not stop; 11: the stopped job kept the terminal in key mode; 12: the
// continued job did not take key mode again.
TEST(TerminalOwnership, a_background_job_leaves_the_terminal_alone_and_a_stopped_one_gives_it_back)
{
    EXPECT_EQ(exit_code_on_new_terminal(peek_from_a_background_job), 0);
    EXPECT_EQ(exit_code_on_new_terminal(stop_and_continue_job), 0);
}
