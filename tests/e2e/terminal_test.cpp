// What a run leaves on a terminal's screen: the line end after ESC with E.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/pty_session.h"
#include "e2e/run_program.h"

static const std::string ABORT_TEXT = "\x1b[7m\r\nAbort by user!\r\n\x1b[0m";

static bool ends_with(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
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
