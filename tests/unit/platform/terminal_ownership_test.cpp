// The terminal is the user's: a background job leaves it alone, and a program ended by a
// signal gives it back in its normal mode.
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "platform/platform.h"

// Waits up to ten seconds for the session leader of a test's terminal; a hung one is
// killed with the jobs of its group.
static bool ended_in_time(pid_t child, int* status)
{
    for (int waited = 0; waited < 200; waited++) {
        if (waitpid(child, status, WNOHANG) != 0)
            return true;
        usleep(50000);
    }
    kill(-child, SIGKILL);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return false;
}

TEST(TerminalOwnership, taking_the_input_handle_neither_stops_the_job_nor_reads_keys)
{
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The session leader owns the terminal; a job of its own in a new process group
        // is in the background, as after "orva &" in a shell.
        const pid_t job = fork();
        if (job == 0) {
            setpgid(0, 0);
            HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
            INPUT_RECORD record;
            DWORD count = 0;
            const BOOL peeked = PeekConsoleInputA(input, &record, 1, &count);
            _exit(peeked ? 1 : 0);
        }
        int job_status = 0;
        waitpid(job, &job_status, WUNTRACED);
        if (WIFSTOPPED(job_status)) {
            kill(job, SIGKILL);
            _exit(2);
        }
        _exit(WIFEXITED(job_status) ? WEXITSTATUS(job_status) : 3);
    }
    int status = 0;
    const bool ended = ended_in_time(child, &status);
    close(master);
    ASSERT_TRUE(ended) << "the job hung";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 2) << "the job was stopped by the terminal";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a background job reads no keys";
}

TEST(TerminalOwnership, broken_pipe_gives_the_terminal_back_in_its_normal_mode)
{
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        GetStdHandle(STD_INPUT_HANDLE);
        int reader_gone[2];
        if (pipe(reader_gone) != 0)
            _exit(3);
        close(reader_gone[0]);
        const char line[] = "listing line\n";
        (void)!write(reader_gone[1], line, sizeof line);
        _exit(4);
    }
    int status = 0;
    waitpid(child, &status, 0);
    struct termios mode;
    ASSERT_EQ(tcgetattr(master, &mode), 0);
    close(master);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE);
    EXPECT_NE(mode.c_lflag & ICANON, 0u);
    EXPECT_NE(mode.c_lflag & ECHO, 0u);
}

// The job stops itself as Ctrl+Z in the shell would stop it. It runs in a process group of
// its own that is the terminal's foreground group: the system does not stop a group
// that has no parent in the session, such as the session leader's own.
static int stop_and_continue_job()
{
    const pid_t job = fork();
    if (job == 0) {
        setpgid(0, 0);
        while (tcgetpgrp(0) != getpgrp())
            usleep(1000);
        GetStdHandle(STD_INPUT_HANDLE);
        raise(SIGTSTP);
        struct termios mode;
        _exit(tcgetattr(0, &mode) == 0 && (mode.c_lflag & (ICANON | ECHO)) == 0 ? 0 : 12);
    }
    setpgid(job, job);
    signal(SIGTTOU, SIG_IGN);
    tcsetpgrp(0, job);
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

TEST(TerminalOwnership, a_stop_gives_the_terminal_back_and_continuing_takes_key_mode_again)
{
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(stop_and_continue_job());
    int status = 0;
    const bool ended = ended_in_time(child, &status);
    close(master);
    ASSERT_TRUE(ended) << "the job hung";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 10) << "the job did not stop";
    EXPECT_NE(WEXITSTATUS(status), 11) << "the stopped job kept the terminal in key mode";
    EXPECT_NE(WEXITSTATUS(status), 12) << "the continued job did not take key mode again";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
