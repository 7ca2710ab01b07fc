// What a run leaves at the end of a terminal's screen, and the termination signals:
// SIGTERM, SIGHUP, SIGQUIT and SIGPIPE end a run the way ESC does (the unfinished copy
// removed, the output written, the terminal given back), then the process ends by the signal.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "e2e/pty_session.h"
#include "e2e/run_program.h"

static const std::string ABORT_TEXT = "\x1b[7m\r\nAbort by user!\r\n\x1b[0m";

// The line end written at the end of a run is "\n", the program's own line end, which the
// terminal's output processing shows as "\r\n" as it does every other line end. ESC comes
// while the copy of big is held (the space that ends the /M1 pause comes with a Ctrl+S):
// with E the failure exit's line end follows the abort message.
TEST(LinuxTerminal, a_run_ending_inside_a_line_ends_it_on_the_terminal_only)
{
    // output_to_file: standard output into a file, standard error on the terminal; waiting:
    // the text after which ESC is typed or SIGTERM sent; pipe_end: standard output into a pipe.
    const struct { std::vector<std::string> arguments; bool output_to_file; const char* waiting; bool escape;
                   std::string terminal_end; const char* pipe_end; } runs[] = {
        {{"/CI", "src\\", "dst"}, false, nullptr, false,
         "Cannot open source file src\\f!(5/0x5)\x1b[0m\x1b[0m\r\n", "Cannot open source file src\\f!(5/0x5)"},
        {{"src\\"}, false, nullptr, false, " src\\later\r\n\x1b[0m", " src\\later\n"},
        {{"/C", "src\\", "dst"}, true, "? ", false, " <Create:Y, Skip:N, All:A, Skip All:X>? \r\n", nullptr},
        {{"/CEPI", "/M1", "src\\", "dst"}, false, "dst\\a (100%,-----KB/sec)\r\n", true,
         "dst\\big " + ABORT_TEXT + "\r\n\x1b[0m", nullptr},
        {{"/CEI", "/M1", "src\\", "dst"}, false, "dst\\a\r\n", true, "dst\\big" + ABORT_TEXT + "\r\n\x1b[0m", nullptr},
        {{"/CPI", "/M1", "src\\", "dst"}, false, "dst\\a (100%,-----KB/sec)\r\n", true,
         "dst\\big " + ABORT_TEXT + "\x1b[0m", nullptr},
    };
    for (const auto& run : runs) {
        const std::string name = run.arguments[0];
        TempTree tree;
        make_copy_tree(tree);
        ASSERT_EQ(mkfifo((tree.path() + "/src/f").c_str(), 0644), 0);  // a source that cannot be opened
        std::vector<std::string> words = {"-c", "exec \"$0\" \"$@\"" + std::string(run.output_to_file ? " >out" : ""),
                                          ORVA_BINARY};
        words.insert(words.end(), run.arguments.begin(), run.arguments.end());
        PtySession s("/bin/sh", words, tree.path());
        if (run.waiting != nullptr) {
            ASSERT_TRUE(s.wait_for(run.waiting)) << name << s.output();
        }
        if (run.escape) {
            s.type(" \x13");
            s.type("\x1b");
        } else if (run.waiting != nullptr) {
            s.send_signal(SIGTERM);
        }
        const int exit_code = s.wait_exit();
        EXPECT_TRUE(s.output().ends_with(run.terminal_end)) << name << ": " << s.output();
        if (run.escape) {
            EXPECT_EQ(exit_code, 2) << name;
            EXPECT_EQ(file_contents(tree.path() + "/dst/later"), "<missing>") << name;
        }
        if (run.pipe_end != nullptr) {
            EXPECT_TRUE(run_orva(run.arguments, tree.path()).out.ends_with(run.pipe_end)) << name;
        }
    }
}

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
// next entry's. run_words gives the shell, and so the program, no terminal.
TEST(LinuxSignals, without_a_terminal_the_running_command_is_waited_for_and_the_output_file_keeps_every_line)
{
    TempTree tree;
    tree.file("src/a");
    tree.file("src/b");
    ASSERT_EQ(mkfifo((tree.path() + "/gate").c_str(), 0666), 0);
    tree.give_to_user();
    std::vector<std::string> words = {"/usr/bin/timeout", "30", "/bin/sh", "-c",
                                      "\"$@\" >log 2>&1 & exec 3>gate; kill -TERM $!; exec 3>&-; wait $!; echo $?", "sh"};
    for (const std::string& word : orva_words_as_user({"/XI=|cat gate$;echo $f >> out|", "src\\"}))
        words.push_back(word);
    EXPECT_EQ(run_words(words, tree.path()).out, std::to_string(128 + SIGTERM) + "\n");
    EXPECT_EQ(file_contents(tree.path() + "/log"), "cat gate\n\nAbort by user!\n");
    EXPECT_EQ(file_contents(tree.path() + "/out"), "<missing>");
}
