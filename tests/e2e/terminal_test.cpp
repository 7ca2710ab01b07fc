// What a run leaves at the end of a terminal's screen: the line it ends open, the line end
// after ESC with E.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <csignal>
#include <string>
#include <vector>

#include "e2e/pty_session.h"
#include "e2e/run_program.h"

static const std::string ABORT_TEXT = "\x1b[7m\r\nAbort by user!\r\n\x1b[0m";
static const std::string CREATE_PROMPT = " <Create:Y, Skip:N, All:A, Skip All:X>? ";

static bool ends_with(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The line end written at the end of a run is "\n", the program's own line end, which the
// terminal's output processing shows as "\r\n" as it does every other line end.
TEST(LinuxTerminal, a_run_ending_inside_a_line_ends_it_on_the_terminal_only)
{
    // output_to_file: standard output into a file, standard error on the terminal;
    // signalled_at: SIGTERM once the terminal shows it; pipe_end: standard output into a pipe.
    const struct { const char* name; std::vector<std::string> arguments; bool output_to_file;
                   const char* signalled_at; std::string terminal_end; const char* pipe_end; } runs[] = {
        {"a failure without E", {"/CI", "src\\", "dst"}, false, nullptr,
         "Cannot open source file src\\f!(5/0x5)\x1b[0m\x1b[0m\r\n", "Cannot open source file src\\f!(5/0x5)"},
        {"a run that ends its line", {"src\\"}, false, nullptr, " src\\f\r\n\x1b[0m", " src\\f\n"},
        {"SIGTERM at a prompt on the terminal", {"/C", "src\\", "dst"}, true, "? ", CREATE_PROMPT + "\r\n",
         nullptr},
    };
    for (const auto& run : runs) {
        TempTree tree;
        tree.directory("src");
        ASSERT_EQ(mkfifo((tree.path() + "/src/f").c_str(), 0644), 0);  // a source that cannot be opened
        std::vector<std::string> words = {"-c", "exec \"$0\" \"$@\"" + std::string(run.output_to_file ? " >out" : ""),
                                          ORVA_BINARY};
        words.insert(words.end(), run.arguments.begin(), run.arguments.end());
        PtySession s("/bin/sh", words, tree.path());
        if (run.signalled_at != nullptr) {
            ASSERT_TRUE(s.wait_for(run.signalled_at)) << run.name << s.output();
            s.send_signal(SIGTERM);
        }
        s.wait_exit();
        EXPECT_TRUE(ends_with(s.output(), run.terminal_end)) << run.name << ": " << s.output();
        if (run.pipe_end == nullptr)
            continue;
        const RunResult piped = run_orva(run.arguments, tree.path());
        EXPECT_TRUE(ends_with(piped.out, run.pipe_end)) << run.name << ": " << piped.out;
    }
}

// ESC while the copy of the long file is held: the abort message, and with E the failure
// exit's line end; the run stops either way.
TEST(Interactive, escape_during_a_copy_with_e_ends_the_line_after_the_abort_message)
{
    const struct { const char* option; const char* paused_at; std::string end; } runs[] = {
        {"/CEPI", "w\\a (100%,-----KB/sec)\r\n", "w\\big " + ABORT_TEXT + "\r\n\x1b[0m"},
        {"/CEI", "w\\a\r\n", "w\\big" + ABORT_TEXT + "\r\n\x1b[0m"},
        {"/CPI", "w\\a (100%,-----KB/sec)\r\n", "w\\big " + ABORT_TEXT + "\x1b[0m"},
    };
    for (const auto& run : runs) {
        TempTree tree;
        tree.file("s/a", "x");
        tree.sparse("s/big", 8 << 20);
        tree.file("s/later", "x");
        PtySession s(ORVA_BINARY, {run.option, "/M1", "s\\", "w"}, tree.path());
        ASSERT_TRUE(s.wait_for(run.paused_at)) << s.output();
        s.type(" \x13");
        s.type("\x1b");
        EXPECT_EQ(s.wait_exit(60000), 2) << run.option;
        EXPECT_TRUE(ends_with(s.output(), run.end)) << run.option << ": " << s.output();
        EXPECT_EQ(file_contents(tree.path() + "/w/later"), "<missing>") << run.option;
    }
}
