// Keys through a pseudo-terminal: a child reads them with the layer and reports them.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "platform/platform.h"

struct ReportedKey {
    int down, virtual_key, character;
};

// A child on a pseudo-terminal that reads key events with ReadConsoleInputA and writes
// each to a pipe, until it has reported `expected` events.
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
    std::vector<ReportedKey> events(int count) const
    {
        std::vector<ReportedKey> keys;
        ReportedKey key;
        while (static_cast<int>(keys.size()) < count && read(report_, &key, sizeof key) == sizeof key)
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
    [[noreturn]] static void run_child(int report, int expected)
    {
        HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        const ReportedKey mark{-1, -1, -1};
        if (write(report, &mark, sizeof mark) != sizeof mark)
            _exit(4);
        for (int reported = 0; reported < expected;) {
            INPUT_RECORD records[4];
            DWORD count = 0;
            if (!ReadConsoleInputA(input, records, 4, &count))
                _exit(3);
            for (DWORD i = 0; i < count; i++, reported++) {
                const KEY_EVENT_RECORD& key = records[i].Event.KeyEvent;
                const ReportedKey out{key.bKeyDown, key.wVirtualKeyCode, (unsigned char)key.uChar.AsciiChar};
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

// Ctrl+C would end the child if the terminal still sent signals; Ctrl+S and Ctrl+Q
// would be swallowed by flow control.
TEST(ConsoleKeys, each_byte_is_a_press_then_a_release_and_control_keys_arrive_as_characters)
{
    KeyChild child(2 * 6);
    ASSERT_GT(child.pid(), 0);
    ASSERT_TRUE(child.wait_for_key_mode());
    child.type("a\x03\x13\x11y\r");
    const std::vector<ReportedKey> keys = child.events(2 * 6);
    ASSERT_EQ(keys.size(), 12u);
    const int expected[] = {'a', 3, 19, 17, 'y', 13};
    for (size_t i = 0; i < 6; i++) {
        const ReportedKey &press = keys[2 * i], &release = keys[2 * i + 1];
        EXPECT_EQ(press.down, TRUE) << i;
        EXPECT_EQ(release.down, FALSE) << i;
        EXPECT_EQ(press.character, expected[i]) << i;
        EXPECT_EQ(release.character, expected[i]) << i;
        EXPECT_NE(press.virtual_key, 0) << i;
        EXPECT_EQ(release.virtual_key, press.virtual_key) << i;
    }
    EXPECT_EQ(keys[0].virtual_key, 'A');
}

TEST(ConsoleKeys, lone_escape_is_escape_and_a_sequence_is_one_key_without_character)
{
    KeyChild child(2 * 3);
    ASSERT_GT(child.pid(), 0);
    ASSERT_TRUE(child.wait_for_key_mode());
    // Each key is typed once the one before has arrived: a lone escape is told from the
    // start of a sequence by the silence after it.
    std::vector<ReportedKey> keys;
    for (const char* bytes : {"\x1b", "\x1b[A", "\x1bOP"}) {
        child.type(bytes);
        for (const ReportedKey& key : child.events(2))
            keys.push_back(key);
    }
    ASSERT_EQ(keys.size(), 6u);
    const int characters[] = {27, 0, 0}, virtual_keys[] = {0x1B, 0x26, 0x70};
    for (size_t i = 0; i < 3; i++) {
        EXPECT_EQ(keys[2 * i + 1].character, characters[i]) << i;
        EXPECT_EQ(keys[2 * i + 1].virtual_key, virtual_keys[i]) << i;
    }
}

// Each child checks for itself and reports through its exit status.
static int status_of_child(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
}

TEST(ConsoleKeys, peek_does_not_wait_and_leaves_the_key)
{
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        INPUT_RECORD record;
        DWORD count = 1;
        if (!PeekConsoleInputA(input, &record, 1, &count) || count != 0)
            _exit(10);
        // Tell the parent the empty peek is done, then wait for its key.
        if (write(1, "!", 1) != 1)
            _exit(11);
        // Waits for the byte without a timer; a lone byte may take the layer a second look.
        struct pollfd typed = {0, POLLIN, 0};
        for (int looks = 0; looks < 100000 && count == 0; looks++) {
            if (poll(&typed, 1, -1) != 1 || !PeekConsoleInputA(input, &record, 1, &count))
                _exit(14);
        }
        if (count != 1 || !record.Event.KeyEvent.bKeyDown || record.Event.KeyEvent.wVirtualKeyCode != 'X')
            _exit(12);
        if (!ReadConsoleInputA(input, &record, 1, &count) || record.Event.KeyEvent.uChar.AsciiChar != 'x')
            _exit(13);
        _exit(0);
    }
    char mark = 0;
    ASSERT_EQ(read(master, &mark, 1), 1);
    ASSERT_EQ(write(master, "x", 1), 1);
    EXPECT_EQ(status_of_child(pid), 0);
    close(master);
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
        int master = -1;
        const pid_t grandchild = forkpty(&master, nullptr, nullptr, nullptr);
        if (grandchild == 0)
            _exit(PeekConsoleInputA(GetStdHandle(STD_INPUT_HANDLE), &record, 1, &count) && count == 0 ? 0 : 20);
        _exit(grandchild > 0 ? status_of_child(grandchild) : 30);
    }
    EXPECT_EQ(status_of_child(pid), 0);
}
