// SIGTERM, SIGHUP, SIGQUIT and SIGPIPE end a run the way ESC does: the unfinished copy
// removed, the output written, the terminal given back; then the process ends by the
// signal. Each run is held where the signal must land, and runs as an ordinary user.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "e2e/pty_session.h"
#include "e2e/run_program.h"

// Each run is held at a prompt, at a /M1 pause, or in the copy of big after its first
// block (the space that ends the pause comes with a Ctrl+S).
TEST(LinuxSignals, each_signal_ends_a_held_copy_a_prompt_and_a_pause_like_escape_then_ends_the_process)
{
    const struct rlimit no_core = {0, 0};
    setrlimit(RLIMIT_CORE, &no_core);  // SIGQUIT's usual end writes one
    const struct { int signal_number; const char* option; const char* keys; } runs[] = {
        {SIGTERM, "/CI/M1", " \x13"}, {SIGHUP, "/CI/M1", " \x13"}, {SIGQUIT, "/CI/M1", " \x13"},
        {SIGPIPE, "/CI/M1", " \x13"}, {SIGTERM, "/C", ""}, {SIGTERM, "/CI/M1", ""},
    };
    for (const auto& run : runs) {
        const std::string name = std::string(strsignal(run.signal_number)) + " " + run.option + " " + run.keys;
        TempTree tree;
        make_copy_tree(tree);
        tree.directory("dst");
        tree.give_to_user();
        const std::string before = snapshot(tree.path() + "/src");
        const std::vector<std::string> words = orva_words_as_user({run.option, "src\\", "dst"});
        PtySession s(words[0], {words.begin() + 1, words.end()}, tree.path());
        const bool paused = std::string(run.option) == "/CI/M1";
        ASSERT_TRUE(s.wait_for(paused ? "create file      dst\\a\r\n" : "dst\\a <Create:Y, Skip:N, All:A, Skip All:X>? "))
            << s.output();
        s.type(run.keys);
        if (*run.keys != '\0') {
            ASSERT_TRUE(s.wait_written(65536)) << s.output();
        }
        s.send_signal(run.signal_number);
        EXPECT_EQ(s.wait_exit(), 1000 + run.signal_number) << name << s.output();
        EXPECT_EQ(count_of(s.output(), "Abort by user!"), 1) << name;
        EXPECT_EQ(s.output().find("later"), std::string::npos) << name << ": the run stopped";
        EXPECT_EQ(file_contents(tree.path() + "/dst/a"), paused ? "a" : "<missing>") << name;
        EXPECT_EQ(file_contents(tree.path() + "/dst/big"), "<missing>") << name << ": partial copy left";
        EXPECT_EQ(snapshot(tree.path() + "/src"), before) << name;
        EXPECT_TRUE(s.in_line_mode()) << name;
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
