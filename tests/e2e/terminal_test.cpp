// What a run leaves on a terminal's screen: the line it ends open, progress figures on a
// row that wrapped at the right margin, the line end after ESC with E.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <string>
#include <vector>

#include "e2e/pty_session.h"
#include "e2e/run_program.h"
#include "e2e/screen_rows.h"

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
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        bool output_to_file;          // standard output into a file, standard error on the terminal
        const char* signalled_at;     // SIGTERM once the terminal shows this; null: the run ends alone
        std::string terminal_end;
        const char* pipe_end;         // standard output into a pipe; null: not asked
    } runs[] = {
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

// A figure written over by the next: the cursor moves back after it.
static int figures_shown(const std::string& written)
{
    return count_of(written, "KB/sec)\x1b[") + count_of(written, "KB/sec)\r\x1b[");
}

// A run of a small file and a long-named one in s, paused (/M1) before the long one: the
// key that ends the pause comes with a Ctrl+S, which holds the run after the first block,
// and each later Ctrl+Q with a Ctrl+S lets one more block through, 600 ms apart, so that
// every block shows a figure, until two have been shown.
static void run_held_with_two_figures(PtySession& s, const std::string& paused_at)
{
    ASSERT_TRUE(s.wait_for(paused_at)) << s.output();
    s.type_at_once(" \x13");
    for (int released = 0; released < 40 && figures_shown(s.output()) < 2; released++) {
        s.settle(600);
        s.type_at_once("\x11\x13");
    }
    s.type("\x11");
    s.wait_exit(60000);
}

// Each speed before "KB/sec", digits or dashes with the blanks before them, as "#".
static std::vector<std::string> with_speeds_hidden(std::vector<std::string> rows)
{
    for (std::string& row : rows) {
        for (size_t unit = row.find("KB/sec"); unit != std::string::npos; unit = row.find("KB/sec", unit + 1)) {
            size_t start = unit;
            while (start > 0 && (isdigit(row[start - 1]) || row[start - 1] == '-'))
                start--;
            while (start > 0 && row[start - 1] == ' ')
                start--;
            row.replace(start, unit - start, "#");
            unit = start + 1;
        }
    }
    return rows;
}

static std::vector<std::string> wrapped(const std::string& text, size_t width)
{
    std::vector<std::string> rows;
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = std::min(text.find('\n', start), text.size());
        const std::string line = text.substr(start, end - start);
        for (size_t at = 0; at == 0 || at < line.size(); at += width)
            rows.push_back(line.substr(at, width));
    }
    return rows;
}

// An 80-column terminal and a file whose figures reach past its last column, or end on
// it, where the terminal holds the cursor until the next character: each figure, and the
// final one, is written over the first, and the progress text of a CRC run leaves
// nothing behind.
TEST(LinuxTerminal, progress_figures_on_a_wrapped_row_are_written_over_and_cleared)
{
    const std::string wrapping(54, 'n');
    const std::string filling(42, 'n');
    const struct {
        const char* name;
        std::string file;
        std::vector<std::string> arguments;
        const char* paused_at;
        std::vector<std::string> screen;  // speeds as "#"; empty: the lines the run writes into a pipe
    } runs[] = {
        {"copy", wrapping, {"/CIPT", "/M1", "s\\", "w"}, "w\\a (100%,-----KB/sec)\r\n",
         {"Create directory w", "create file      w\\a (100%,#KB/sec)", "create file      w\\" + wrapping + " (100%,",
          "#KB/sec)"}},
        {"copy to the last column", filling, {"/CIPT", "/M1", "s\\", "w"}, "w\\a (100%,-----KB/sec)\r\n",
         {"Create directory w", "create file      w\\a (100%,#KB/sec)",
          "create file      w\\" + filling + " (100%,#KB/sec)"}},
        {"CRC listing", wrapping, {"/FDP", "/M1", "s\\"}, " s\\a\r\n", {}},
    };
    for (const auto& run : runs) {
        TempTree tree;
        tree.file("s/a", "x");
        tree.sparse("s/" + run.file, 8 << 20);
        PtySession s(ORVA_BINARY, run.arguments, tree.path(), {}, 80);
        run_held_with_two_figures(s, run.paused_at);
        ASSERT_GE(figures_shown(s.output()), 2) << run.name << s.output();
        const std::vector<std::string> screen =
            run.screen.empty() ? with_speeds_hidden(wrapped(run_orva(run.arguments, tree.path()).out, 80)) : run.screen;
        EXPECT_EQ(with_speeds_hidden(screen_rows(s.output(), 80)), screen) << run.name;
    }
}

// ESC while the copy of the long file is held: the abort message, and with E the failure
// exit's line end; the run stops either way.
TEST(Interactive, escape_during_a_copy_with_e_ends_the_line_after_the_abort_message)
{
    const struct {
        const char* option;
        const char* paused_at;
        std::string end;
    } runs[] = {
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
        s.type_at_once(" \x13");
        s.type("\x1b");
        EXPECT_EQ(s.wait_exit(60000), 2) << run.option;
        EXPECT_TRUE(ends_with(s.output(), run.end)) << run.option << ": " << s.output();
        EXPECT_EQ(file_contents(tree.path() + "/w/later"), "<missing>") << run.option;
    }
}
