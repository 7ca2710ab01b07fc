// The terminal is the user's: a background job leaves it alone, a stopped job gives it
// back until it continues, and a program ended by a signal gives it back in its normal mode.
#include <gtest/gtest.h>

#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "platform/platform.h"

const int LEADER_KILLED = -2;

// Runs leader as the session leader of a new pseudo-terminal and gives its exit code.
static int exit_code_on_new_terminal(int (*leader)())
{
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    if (child == 0)
        _exit(leader());
    int status = 0;
    const pid_t done = child > 0 ? waitpid(child, &status, 0) : -1;
    close(master);
    if (done <= 0)
        return LEADER_KILLED;
    return WIFEXITED(status) ? WEXITSTATUS(status) : LEADER_KILLED;
}

// The session leader owns the terminal; a job of its own in a new process group is in
// the background, as after "orva &" in a shell.
static int peek_from_a_background_job()
{
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
        return 2;
    }
    return WIFEXITED(job_status) ? WEXITSTATUS(job_status) : 3;
}

TEST(TerminalOwnership, taking_the_input_handle_neither_stops_the_job_nor_reads_keys)
{
    const int code = exit_code_on_new_terminal(peek_from_a_background_job);
    ASSERT_NE(code, LEADER_KILLED);
    EXPECT_NE(code, 2) << "the job was stopped by the terminal";
    EXPECT_EQ(code, 0) << "a background job reads no keys";
}

// However the program ends (by itself, by SIGTERM, by a write to a pipe nobody reads),
// the terminal is left in its normal mode.
TEST(TerminalOwnership, every_ending_gives_the_terminal_back_in_its_normal_mode)
{
    for (const int ending : {0, SIGTERM, SIGPIPE}) {
        int master = -1;
        const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
        ASSERT_GE(child, 0);
        if (child == 0) {
            // As a program starts: an earlier case may have left its own handlers here.
            signal(SIGTERM, SIG_DFL);
            signal(SIGPIPE, SIG_DFL);
            GetStdHandle(STD_INPUT_HANDLE);
            int reader_gone[2];
            if (ending == 0 || pipe(reader_gone) != 0)
                exit(0);
            close(reader_gone[0]);
            if (ending == SIGTERM)
                raise(SIGTERM);
            (void)!write(reader_gone[1], "listing line\n", 13);
            _exit(4);
        }
        int status = 0;
        waitpid(child, &status, 0);
        struct termios mode;
        ASSERT_EQ(tcgetattr(master, &mode), 0);
        close(master);
        if (ending == 0)
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        else
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == ending) << ending;
        EXPECT_NE(mode.c_lflag & ICANON, 0u) << ending;
        EXPECT_NE(mode.c_lflag & ECHO, 0u) << ending;
    }
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

TEST(TerminalOwnership, a_stop_gives_the_terminal_back_and_continuing_takes_key_mode_again)
{
    const int code = exit_code_on_new_terminal(stop_and_continue_job);
    ASSERT_NE(code, LEADER_KILLED);
    EXPECT_NE(code, 10) << "the job did not stop";
    EXPECT_NE(code, 11) << "the stopped job kept the terminal in key mode";
    EXPECT_NE(code, 12) << "the continued job did not take key mode again";
    EXPECT_EQ(code, 0);
}
