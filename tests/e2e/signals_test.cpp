// SIGTERM, SIGHUP, SIGQUIT and SIGPIPE end a run the way ESC does: the unfinished copy
// removed, the output written, the terminal given back; then the process ends by the
// signal. Each run is held where the signal must land, and runs as an ordinary user.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

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
        s.type("Y\x13");
        // The first block is written, and the run holds before the next.
        ASSERT_TRUE(s.wait_written(65536)) << s.output();
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

// The command of the first entry waits on a FIFO: the shell's open for writing returns
// once it reads, the signal comes while it waits, and closing the FIFO lets it end. The
// program waits for it, then runs nothing more: not the entry's second command, not the
// next entry's. run_program gives the shell, and so the program, no terminal.
TEST(LinuxSignals, without_a_terminal_the_running_command_is_waited_for_and_the_output_file_keeps_every_line)
{
    TempTree tree;
    tree.file("src/a");
    tree.file("src/b");
    ASSERT_EQ(mkfifo((tree.path() + "/gate").c_str(), 0666), 0);
    tree.give_to_user();
    std::vector<std::string> words = {"30", "/bin/sh", "-c",
                                      "\"$@\" >log 2>&1 & exec 3>gate; kill -TERM $!; exec 3>&-; wait $!; echo $?", "sh"};
    for (const std::string& word : orva_words_as_user({"/XI=|cat gate$;echo $f >> out|", "src\\"}))
        words.push_back(word);
    EXPECT_EQ(run_program("/usr/bin/timeout", words, tree.path()).out, std::to_string(128 + SIGTERM) + "\n");
    EXPECT_EQ(file_contents(tree.path() + "/log"), "cat gate\n\nAbort by user!\n");
    EXPECT_EQ(file_contents(tree.path() + "/out"), "<missing>");
}
