// Keys at the terminal, once for every operation: the prompt's answers, ESC, Ctrl+C,
// Ctrl+S and Ctrl+Q, the pause.
#include <gtest/gtest.h>

#include <string>

#include "e2e/pty_session.h"
#include "e2e/run_program.h"

static const std::string PROMPT = " <Delete:Y, Skip:N, All:A, Skip All:X>? ";
static const std::string ABORT_TEXT = "\x1b[7m\r\nAbort by user!\r\n\x1b[0m";

// The driver asks a prompt for each PROMPT step and lets the abort poll take a key for
// each "poll"; it prints each answer with the confirmation and skip-all state after it.
TEST(Prompt, every_key_at_a_prompt_and_ctrl_c_between_prompts)
{
    TempTree tree;
    const std::string P = PROMPT;
    PtySession s(ORVA_PROMPT_DRIVER, {P, P, P, "poll", P, P, "poll", P, P}, tree.path());
    // The expected text in what the keys make the driver write.
    const auto answer = [&s](const std::string& keys, const std::string& expected) {
        const size_t from = s.output().size();
        s.type(keys);
        return s.wait_for(expected, 10000, from);
    };
    ASSERT_TRUE(s.wait_for(PROMPT));
    ASSERT_TRUE(answer("q", "\a")) << "any other key rings the bell";
    // A terminal sends a key's sequence in one piece: a key without a character is ignored.
    s.type("\x1b[A");
    ASSERT_TRUE(answer("y", "[answer 1 confirm=1 skip_all=0]")) << s.output();
    ASSERT_TRUE(answer("N", "[answer 0 confirm=1 skip_all=0]")) << s.output();
    ASSERT_TRUE(answer("a", "[answer 1 confirm=0 skip_all=0]")) << "all turns prompts off";
    ASSERT_TRUE(answer("\x03", "[poll 0 confirm=1 skip_all=0]")) << "Ctrl+C turns them on again";
    // Skip all answers the next prompt without asking, until Ctrl+C.
    ASSERT_TRUE(answer("x", "[answer 0 confirm=1 skip_all=1]\r\n[answer 0 confirm=1 skip_all=1]")) << s.output();
    ASSERT_TRUE(answer("\x03", "[poll 0 confirm=1 skip_all=0]")) << s.output();
    // Ctrl+C at a prompt rings and keeps waiting.
    ASSERT_TRUE(answer("\x03", "\a")) << s.output();
    ASSERT_TRUE(answer("y", "[answer 1 confirm=1 skip_all=0]")) << s.output();
    ASSERT_TRUE(answer("\x1b", "[answer -1")) << s.output();
    EXPECT_EQ(s.wait_exit(), 0);
    const std::string& screen = s.output();
    EXPECT_NE(screen.find(PROMPT + "\ay[answer 1"), std::string::npos) << "answers are echoed: " << screen;
    EXPECT_NE(screen.find(PROMPT + "N[answer 0"), std::string::npos) << screen;
    EXPECT_EQ(count_of(screen, PROMPT), 6) << screen;
    EXPECT_EQ(count_of(screen, "Abort by user!"), 1) << screen;
    EXPECT_NE(screen.find(ABORT_TEXT), std::string::npos) << "highlighted: " << screen;
    // Without a console a prompt answers as ESC.
    const RunResult headless = run_words({ORVA_PROMPT_DRIVER, PROMPT, PROMPT}, tree.path());
    EXPECT_EQ(headless.out, "\nAbort by user!\n[answer -1 confirm=1 skip_all=0]\n[answer -1 confirm=1 skip_all=0]\n");
    EXPECT_EQ(headless.err, PROMPT + PROMPT);
}

// Any key ends a pause, ESC stops the run there; without a console the run goes on.
TEST(Interactive, pause_every_n_entries_waits_for_a_key)
{
    TempTree tree;
    for (const char* name : {"d/1", "d/2", "d/3", "d/4", "d/5"})
        tree.file(name, "x");
    PtySession s(ORVA_BINARY, {"/M2", "d\\"}, tree.path());
    ASSERT_TRUE(s.wait_for("d\\2\r\n"));
    s.type("z");
    ASSERT_TRUE(s.wait_for("d\\4\r\n"));
    s.type("\x1b");
    EXPECT_EQ(s.wait_exit(), 4);
    EXPECT_EQ(s.output().find("d\\5"), std::string::npos) << s.output();
    EXPECT_EQ(count_of(s.output(), "Abort by user!"), 1) << s.output();
    EXPECT_EQ(run_orva({"/M2", "d\\"}, tree.path()).exit_code, 5);
}

// The keys land where they are meant to however fast the machine reads: /M1 pauses
// before "big", and the space that ends the pause comes with a Ctrl+S, which holds the
// reading after its first block. Each Ctrl+Q then comes with a Ctrl+S: one more block,
// 600 ms apart, since a block shows a figure when 500 ms have passed since the last.
TEST(Interactive, escape_during_a_held_crc_run_stops_it_once_and_every_figure_is_written_over)
{
    static const std::string FIGURE_END = "KB/sec)\x1b[";
    TempTree tree;
    tree.file("a", "x");
    tree.sparse("big", 1ll << 30);
    tree.file("later", "x");
    PtySession s(ORVA_BINARY, {"/FP", "/M1", "*"}, tree.path());
    ASSERT_TRUE(s.wait_for(" a\r\n"));
    s.type(" \x13");
    for (int released = 0; released < 40 && count_of(s.output(), FIGURE_END) < 2; released++) {
        s.settle(600);
        s.type("\x11\x13");
    }
    s.type("\x1b");
    EXPECT_EQ(s.wait_exit(), 2) << "both files were handed to the listing";
    EXPECT_EQ(count_of(s.output(), "Abort by user!"), 1);
    EXPECT_EQ(s.output().find(" later"), std::string::npos) << "the run stopped";
    // The cursor goes back over all of each figure, however wide a fast reading makes it.
    const std::string& screen = s.output();
    int figures = 0;
    for (size_t end = screen.find(FIGURE_END); end != std::string::npos;
         end = screen.find(FIGURE_END, end + 1), figures++) {
        const size_t start = screen.rfind('(', end);
        const size_t after = end + 7;
        EXPECT_EQ(std::stoul(screen.substr(after + 2)), after - start) << screen.substr(start, after + 8 - start);
    }
    EXPECT_GE(figures, 2) << s.output();
}
