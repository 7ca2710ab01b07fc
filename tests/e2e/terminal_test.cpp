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
