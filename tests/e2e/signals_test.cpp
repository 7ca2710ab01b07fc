// SIGTERM, SIGHUP, SIGQUIT and SIGPIPE end a run the way ESC does: the unfinished copy
// removed, the output written, the terminal given back; then the process ends by the
// signal. Each run is held where the signal must land, and runs as an ordinary user.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/pty_session.h"
#include "e2e/run_program.h"

// The program as the user, in a terminal of its own.
static PtySession session_as_user(const std::vector<std::string>& arguments, const std::string& cwd)
{
    const std::vector<std::string> words = orva_words_as_user(arguments);
    return PtySession(words[0], {words.begin() + 1, words.end()}, cwd);
}

// Eight blocks of the copy's 65,536 bytes, none of them zero.
static std::string eight_blocks()
{
    std::string data(8 * 65536, '\0');
    for (size_t i = 0; i < data.size(); i++)
        data[i] = static_cast<char>(1 + (i * 7 + i / 65536) % 255);
    return data;
}

// A copy of src\big into dst, made as nobody, with a file after it that the run must not reach.
static void make_copy_tree(TempTree& tree)
{
    tree.file("src/big", eight_blocks());
    tree.file("src/later", "x");
    tree.directory("dst");
    tree.give_to_user();
}

// The copy has opened its destination file (which has no name until it is complete), and
// so stands in the middle of its blocks.
static bool copy_started(pid_t program, const std::string& destination)
{
    for (int i = 0; i < 2000; i++, usleep(10000)) {
        std::error_code ignored;
        for (const auto& descriptor : std::filesystem::directory_iterator("/proc/" + std::to_string(program) + "/fd", ignored)) {
            const std::string target = std::filesystem::read_symlink(descriptor.path(), ignored).string();
            if (target.rfind(destination + "/", 0) == 0)
                return true;
        }
    }
    return false;
}

TEST(LinuxSignals, each_signal_during_a_held_copy_ends_it_like_escape_then_ends_the_process)
{
    const struct rlimit no_core = {0, 0};
    setrlimit(RLIMIT_CORE, &no_core);  // SIGQUIT's usual end writes one
    for (int signal_number : {SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
        TempTree tree;
        make_copy_tree(tree);
        const std::string before = snapshot(tree.path() + "/src");
        PtySession s = session_as_user({"/C", "src\\", "dst"}, tree.path());
        ASSERT_TRUE(s.wait_for("create file      dst\\big <Create:Y, Skip:N, All:A, Skip All:X>? ")) << s.output();
        s.type_at_once("Y\x13");
        ASSERT_TRUE(copy_started(s.pid(), tree.path() + "/dst")) << s.output();
        s.send_signal(signal_number);
        EXPECT_EQ(s.wait_exit(), 1000 + signal_number) << strsignal(signal_number) << s.output();
        EXPECT_EQ(count_of(s.output(), "Abort by user!"), 1) << strsignal(signal_number);
        EXPECT_EQ(s.output().find("later"), std::string::npos) << strsignal(signal_number) << ": the run stopped";
        EXPECT_TRUE(std::filesystem::is_empty(tree.path() + "/dst")) << strsignal(signal_number) << ": partial copy left";
        EXPECT_EQ(snapshot(tree.path() + "/src"), before) << strsignal(signal_number);
        EXPECT_TRUE(s.in_line_mode()) << strsignal(signal_number);
    }
}

// The waits for a key end too: at a prompt nothing is copied, at a /M pause the run stops
// before the next entry.
TEST(LinuxSignals, a_signal_ends_the_wait_at_a_prompt_and_at_a_pause)
{
    const struct { const char* option; const char* waiting; bool first_copied; } waits[] = {
        {"/C", "create file      dst\\a <Create:Y, Skip:N, All:A, Skip All:X>? ", false},
        {"/CI/M1", "create file      dst\\a\r\n", true},
    };
    for (const auto& wait : waits) {
        TempTree tree;
        tree.file("src/a", "a");
        tree.file("src/b", "b");
        tree.directory("dst");
        tree.give_to_user();
        PtySession s = session_as_user({wait.option, "src\\", "dst"}, tree.path());
        ASSERT_TRUE(s.wait_for(wait.waiting)) << s.output();
        s.send_signal(SIGTERM);
        EXPECT_EQ(s.wait_exit(), 1000 + SIGTERM) << wait.option;
        EXPECT_EQ(count_of(s.output(), "Abort by user!"), 1) << wait.option << s.output();
        EXPECT_EQ(file_contents(tree.path() + "/dst/a"), wait.first_copied ? "a" : "<missing>") << wait.option;
        EXPECT_EQ(file_contents(tree.path() + "/dst/b"), "<missing>") << wait.option;
    }
}

// Starts the program as nobody in a session of its own, so that it has no terminal, with
// standard input from /dev/null and the given standard output and error.
static pid_t start_without_terminal(const std::vector<std::string>& arguments, const std::string& cwd, int out,
                                    int err)
{
    std::vector<std::string> words = orva_words_as_user(arguments);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        setsid();
        const int input = open("/dev/null", O_RDONLY);
        if (input < 0 || dup2(input, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(cwd.c_str()) != 0)
            _exit(126);
        clearenv();
        setenv("PATH", "/usr/bin:/bin", 1);
        setenv("LANG", "C", 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return child;
}

// 1000 plus the signal that ended the program, or -1 when it still ran after 30 seconds
// (it is killed then).
static int status_of(pid_t child)
{
    int status = 0;
    for (int waited = 0; waitpid(child, &status, WNOHANG) == 0; waited += 10, usleep(10000)) {
        if (waited >= 30000 && kill(child, SIGKILL) == 0 && waitpid(child, nullptr, 0) >= 0)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
}

// The command of the first entry waits on a FIFO: the test's open for writing returns
// once it reads, the signal comes while it waits, and closing the FIFO lets it end. The
// program waits for it, then runs nothing more: not the entry's second command, not the
// next entry's.
TEST(LinuxSignals, without_a_terminal_the_running_command_is_waited_for_and_the_output_file_keeps_every_line)
{
    TempTree tree;
    tree.file("src/a");
    tree.file("src/b");
    ASSERT_EQ(mkfifo((tree.path() + "/gate").c_str(), 0666), 0);
    tree.give_to_user();
    const std::string log = tree.path() + "/log";
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(out, 0);
    const pid_t program = start_without_terminal({"/XI=|cat gate$;echo $f >> out|", "src\\"}, tree.path(), out, out);
    close(out);
    // Without a reader yet, the open fails (ENXIO) instead of waiting.
    int gate = -1;
    for (int i = 0; i < 1000 && gate < 0; i++, usleep(10000))
        gate = open((tree.path() + "/gate").c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(gate, 0) << file_contents(log);
    kill(program, SIGTERM);
    close(gate);
    EXPECT_EQ(status_of(program), 1000 + SIGTERM);
    EXPECT_EQ(file_contents(log), "cat gate\n\nAbort by user!\n");
    EXPECT_EQ(file_contents(tree.path() + "/out"), "<missing>");
}
