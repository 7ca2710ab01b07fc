// Keys at the terminal: the prompt's answers, ESC, Ctrl+C, Ctrl+S and Ctrl+Q, the pause.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>
#include <string>

#include "e2e/pty_session.h"
#include "e2e/run_program.h"

static const std::string PROMPT = " <Delete:Y, Skip:N, All:A, Skip All:X>? ";
static const std::string ABORT_TEXT = "\x1b[7m\r\nAbort by user!\r\n\x1b[0m";

class Prompt : public testing::Test {
protected:
    PtySession& start(const std::vector<std::string>& steps)
    {
        session = std::make_unique<PtySession>(ORVA_PROMPT_DRIVER, steps, tree.path());
        return *session;
    }
    TempTree tree;
    std::unique_ptr<PtySession> session;
};

TEST_F(Prompt, yes_and_no_are_echoed_and_answered)
{
    PtySession& s = start({PROMPT, PROMPT});
    ASSERT_TRUE(s.wait_for(PROMPT));
    s.type("y");
    ASSERT_TRUE(s.wait_for("[answer 1 confirm=1 skip_all=0]"));
    s.type("N");
    ASSERT_TRUE(s.wait_for("[answer 0 confirm=1 skip_all=0]"));
    EXPECT_EQ(s.wait_exit(), 0);
    EXPECT_NE(s.output().find(PROMPT + "y[answer 1"), std::string::npos) << s.output();
    EXPECT_NE(s.output().find(PROMPT + "N[answer 0"), std::string::npos) << s.output();
}

TEST_F(Prompt, other_keys_ring_the_bell_and_keys_without_a_character_are_ignored)
{
    PtySession& s = start({PROMPT});
    ASSERT_TRUE(s.wait_for(PROMPT));
    s.type("q");
    ASSERT_TRUE(s.wait_for("\a"));
    // A terminal sends a key's sequence in one piece; typed byte by byte, its ESC could be
    // read alone, as the ESC key, whenever the program polls late.
    s.type_at_once("\x1b[A");
    s.settle(300);
    s.type("y");
    ASSERT_TRUE(s.wait_for("[answer 1"));
    EXPECT_EQ(s.wait_exit(), 0);
    EXPECT_NE(s.output().find(PROMPT + "\ay[answer 1"), std::string::npos) << s.output();
}

TEST_F(Prompt, all_turns_prompts_off_and_ctrl_c_turns_them_on_again)
{
    PtySession& s = start({PROMPT, "poll", PROMPT});
    ASSERT_TRUE(s.wait_for(PROMPT));
    s.type("a");
    ASSERT_TRUE(s.wait_for("[answer 1 confirm=0 skip_all=0]"));
    s.type("\x03");
    ASSERT_TRUE(s.wait_for("[poll 0 confirm=1 skip_all=0]"));
    s.type("n");
    EXPECT_EQ(s.wait_exit(), 0);
}

TEST_F(Prompt, skip_all_answers_every_later_prompt_silently)
{
    PtySession& s = start({PROMPT, PROMPT});
    ASSERT_TRUE(s.wait_for(PROMPT));
    s.type("x");
    ASSERT_TRUE(s.wait_for("[answer 0 confirm=1 skip_all=1]\r\n[answer 0"));
    EXPECT_EQ(s.wait_exit(), 0);
    EXPECT_EQ(count_of(s.output(), PROMPT), 1);
}

TEST_F(Prompt, ctrl_c_at_a_prompt_rings_rearms_and_keeps_waiting)
{
    PtySession& s = start({PROMPT, "poll", PROMPT});
    ASSERT_TRUE(s.wait_for(PROMPT));
    s.type("x");
    ASSERT_TRUE(s.wait_for("[answer 0 confirm=1 skip_all=1]"));
    s.type("\x03");
    ASSERT_TRUE(s.wait_for("[poll 0 confirm=1 skip_all=0]"));
    s.type("\x03");
    ASSERT_TRUE(s.wait_for("\a"));
    s.type("y");
    ASSERT_TRUE(s.wait_for("[answer 1 confirm=1 skip_all=0]"));
    EXPECT_EQ(s.wait_exit(), 0);
}

TEST_F(Prompt, escape_stops_with_the_abort_message_once)
{
    PtySession& s = start({PROMPT, PROMPT});
    ASSERT_TRUE(s.wait_for(PROMPT));
    s.type("\x1b");
    ASSERT_TRUE(s.wait_for("[answer -1"));
    EXPECT_EQ(s.wait_exit(), 0);
    EXPECT_EQ(count_of(s.output(), "Abort by user!"), 1) << s.output();
    EXPECT_NE(s.output().find(ABORT_TEXT), std::string::npos) << "highlighted";
}

TEST(Interactive, pause_every_n_entries_waits_for_any_key)
{
    TempTree tree;
    for (const char* name : {"d/1", "d/2", "d/3", "d/4", "d/5"})
        tree.file(name, "x");
    PtySession s(ORVA_BINARY, {"/M2", "d\\"}, tree.path());
    ASSERT_TRUE(s.wait_for("d\\2\r\n"));
    s.settle(400);
    EXPECT_EQ(s.output().find("d\\3"), std::string::npos) << "paused after two entries";
    s.type("z");
    ASSERT_TRUE(s.wait_for("d\\4\r\n"));
    s.settle(400);
    EXPECT_EQ(s.output().find("d\\5"), std::string::npos);
    s.type(" ");
    EXPECT_EQ(s.wait_exit(), 5);
    EXPECT_NE(s.output().find("d\\5"), std::string::npos);
}

// The keys land where they are meant to however fast the machine reads: /M1 pauses
// before "big", and the space that ends the pause comes with a Ctrl+S, which holds the
// reading after its first block. Each Ctrl+Q then comes with a Ctrl+S: one more block.
static const std::string FIGURE_END = "KB/sec)\x1b[";

static void start_held_after_first_block(PtySession& s)
{
    ASSERT_TRUE(s.wait_for(" a\r\n"));
    s.type_at_once(" \x13");
}

TEST(Interactive, escape_during_a_long_crc_run_stops_it_once_and_touches_nothing)
{
    TempTree tree;
    tree.file("a", "x");
    tree.sparse("big", 1ll << 30);
    tree.file("later", "x");
    tree.times("big", 1221214272);
    PtySession s(ORVA_BINARY, {"/FP", "/M1", "*"}, tree.path());
    start_held_after_first_block(s);
    // A block shows a figure when 500 ms have passed since the last one.
    for (int released = 0; released < 40; released++) {
        s.settle(600);
        if (count_of(s.output(), FIGURE_END) >= 2)
            break;
        s.type_at_once("\x11\x13");
    }
    s.type("\x1b");
    EXPECT_EQ(s.wait_exit(), 2) << "both files were handed to the listing";
    EXPECT_EQ(count_of(s.output(), "Abort by user!"), 1);
    EXPECT_EQ(s.output().find(" later"), std::string::npos) << "the run stopped";
    // Every figure is written over: the cursor goes back over all of it, however wide a
    // fast reading makes it.
    const std::string& screen = s.output();
    int figures = 0;
    for (size_t end = screen.find(FIGURE_END); end != std::string::npos;
         end = screen.find(FIGURE_END, end + 1), figures++) {
        const size_t start = screen.rfind('(', end);
        const size_t after = end + 7;
        EXPECT_EQ(std::stoul(screen.substr(after + 2)), after - start) << screen.substr(start, after + 8 - start);
    }
    EXPECT_GE(figures, 2) << s.output();
    struct stat status;
    ASSERT_EQ(stat((tree.path() + "/big").c_str(), &status), 0);
    EXPECT_EQ(status.st_size, 1ll << 30);
    EXPECT_EQ(status.st_mtime, 1221214272);
}

// Held for longer than a figure's interval: a block let through would show one at once.
TEST(Interactive, ctrl_s_holds_the_run_until_ctrl_q)
{
    TempTree tree;
    tree.file("a", "x");
    tree.sparse("big", 256ll << 20);
    PtySession s(ORVA_BINARY, {"/FP", "/M1", "*"}, tree.path());
    start_held_after_first_block(s);
    s.settle(1200);
    EXPECT_EQ(s.output().find("big"), std::string::npos) << "no progress while held";
    EXPECT_TRUE(s.running());
    s.type("y");
    s.settle(700);
    EXPECT_EQ(s.output().find("big"), std::string::npos) << "other keys do not release the hold";
    EXPECT_TRUE(s.running());
    s.type("\x11");
    EXPECT_EQ(s.wait_exit(60000), 2);
    EXPECT_NE(s.output().find("KB/sec big"), std::string::npos) << s.output();
}

TEST(Interactive, highlight_and_normal_colours_on_a_terminal)
{
    TempTree tree;
    PtySession s(ORVA_BINARY, {"nowhere\\"}, tree.path());
    EXPECT_EQ(s.wait_exit(), 255);
    EXPECT_NE(s.output().find("\x1b[7mSource file or directory is not found.\r\n\x1b[0m"), std::string::npos)
        << s.output();
}

TEST(NoConsole, prompt_answers_as_escape_and_the_pause_goes_on)
{
    TempTree tree;
    const RunResult prompt = run_program(ORVA_PROMPT_DRIVER, {PROMPT, PROMPT}, tree.path());
    EXPECT_EQ(prompt.out, "\nAbort by user!\n[answer -1 confirm=1 skip_all=0]\n[answer -1 confirm=1 skip_all=0]\n");
    EXPECT_EQ(prompt.err, PROMPT + PROMPT);
    for (const char* name : {"d/1", "d/2", "d/3"})
        tree.file(name, "x");
    EXPECT_EQ(run_orva({"/M1", "d\\"}, tree.path()).exit_code, 3);
}

TEST(Interactive, copy_prompts_create_and_update_answered_no_yes_all)
{
    TempTree tree;
    for (const char* name : {"src/a", "src/b", "src/c", "src/d"})
        tree.file(name, "new");
    tree.file("dst/b", "old");
    tree.times("dst/b", 1000000000);
    const std::string create = " <Create:Y, Skip:N, All:A, Skip All:X>? ";
    PtySession s(ORVA_BINARY, {"/U", "src\\", "dst"}, tree.path());
    ASSERT_TRUE(s.wait_for("create file      dst\\a" + create));
    s.type("n");
    ASSERT_TRUE(s.wait_for("update file      dst\\b <Update:Y, Skip:N, All:A, Skip All:X>? "));
    s.type("y");
    ASSERT_TRUE(s.wait_for("create file      dst\\c" + create));
    s.type("a");
    EXPECT_EQ(s.wait_exit(), 4);
    EXPECT_NE(s.output().find("dst\\a" + create + "n\r\nupdate"), std::string::npos) << s.output();
    EXPECT_NE(s.output().find("a\r\ncreate file      dst\\d\r\n"), std::string::npos) << s.output();
    struct stat status;
    EXPECT_NE(stat((tree.path() + "/dst/a").c_str(), &status), 0);
    EXPECT_EQ(stat((tree.path() + "/dst/d").c_str(), &status), 0);
    EXPECT_EQ(status.st_size, 3);
}
