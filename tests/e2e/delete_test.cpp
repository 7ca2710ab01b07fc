// Delete end to end: /R on trees, the path forms, /RV's comparison, failures and prompts.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "e2e/pty_session.h"
#include "e2e/known_differences.h"
#include "e2e/run_program.h"

static const std::string PROMPT = " <Delete:Y, Skip:N, All:A, Skip All:X>? ";

class Delete : public testing::Test {
protected:
    // A sibling of every source, which no run may touch.
    void SetUp() override { tree.file("keep/k", "k"); }
    void TearDown() override { EXPECT_TRUE(exists("keep/k")) << "outside the source"; }

    bool exists(const std::string& relative) const
    {
        struct stat status;
        return lstat((tree.path() + "/" + relative).c_str(), &status) == 0;
    }
    bool dos_attributes(const std::string& relative, const std::string& value)
    {
        return setxattr((tree.path() + "/" + relative).c_str(), "user.DOSATTRIB", value.data(), value.size(), 0) == 0;
    }
    RunResult run(const std::vector<std::string>& arguments) { return run_orva(arguments, tree.path()); }
    RunResult run_as_nobody(const std::vector<std::string>& arguments) { return run_orva_as_user(arguments, tree.path()); }
    TempTree tree;
};

TEST_F(Delete, tree_goes_bottom_up_whatever_the_attributes)
{
    tree.file("src/a/b/deep", "3");
    tree.file("src/a/read-only", "2");
    tree.file("src/hidden", "1");
    chmod((tree.path() + "/src/a/read-only").c_str(), 0444);
    if (!dos_attributes("src/hidden", "0x22") || !dos_attributes("src/a/b", "0x13"))
        GTEST_SKIP() << "no user extended attributes under /tmp";
    const RunResult result = run({"/RI", "src"});
    EXPECT_EQ(result.out,
              "delete file      src\\a\\b\\deep\n"
              "delete directory src\\a\\b\n"
              "delete file      src\\a\\read-only\n"
              "delete directory src\\a\n"
              "delete file      src\\hidden\n"
              "delete directory src\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exit_code, 3) << "files, not directories";
    EXPECT_FALSE(exists("src"));
}

TEST_F(Delete, list_mode_chooses_the_path_shown_and_deleted)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string out;
    };
    for (const Case& c : std::vector<Case>{
             {{"/RI", "src"},
              "delete file      src\\Long Directory\\Long File.txt\n"
              "delete directory src\\Long Directory\n"
              "delete directory src\n"},
             {{"/RI", "/L0", "src"},
              "delete file      SRC\\LONGDI~1\\LONGFI~1.TXT\n"
              "delete directory SRC\\LONGDI~1\n"
              "delete directory SRC\n"},
             {{"/RI", "/L4", "src"},
              "delete file      SRC\\LONGDI~1\\LONGFI~1.TXT\n"
              "delete directory SRC\\LONGDI~1\n"
              "delete directory SRC\n"},
         }) {
        tree.file("src/Long Directory/Long File.txt", "x");
        const RunResult result = run(c.arguments);
        EXPECT_EQ(aliases_blurred(result.out), aliases_blurred(c.out)) << c.arguments[1];
        EXPECT_EQ(result.exit_code, 1);
        EXPECT_FALSE(exists("src")) << c.arguments[1];
    }
}

TEST_F(Delete, verify_deletes_only_files_equal_to_their_destination)
{
    struct Case {
        std::string name, source, destination;
        bool has_destination;
        std::string outcome;  // what follows the header and the path
        bool deleted;
    };
    const std::vector<Case> cases = {
        {"differs", "abc", "abd", true, "  Verify different.\n", false},
        {"empty", "", "", true, "  Verify done.\n", true},
        {"equal", std::string(65536 * 2 + 1, 'e'), std::string(65536 * 2 + 1, 'e'), true, "  Verify done.\n", true},
        {"missing", "q", "", false, "  Verify file is not found.\n", false},
        {"size", "abc", "abcd", true, "  Verify file size is different.\n", false},
    };
    for (const char* letters : {"/RVI", "/RVIP"}) {
        std::string expected;
        int equal = 0;
        for (const Case& c : cases) {
            tree.file("s/" + c.name, c.source);
            if (c.has_destination)
                tree.file("d/" + c.name, c.destination);
            // P: the comparison's space, then its final figure once all bytes were equal.
            const bool progress = std::string(letters).back() == 'P';
            const bool compared = c.has_destination && c.source.size() == c.destination.size();
            expected += "delete file      s\\" + c.name + (progress && compared ? " " : "") +
                        (progress && c.deleted ? "(100%,-----KB/sec) " : "") + c.outcome;
            equal += c.deleted;
        }
        // Directories go without a comparison; this one has no counterpart.
        tree.directory("s/zdir");
        expected += "delete directory s\\zdir\n";
        const RunResult result = run({letters, "s\\", "d"});
        EXPECT_EQ(result.out, expected) << letters;
        EXPECT_EQ(result.exit_code, equal) << "the verified count";
        for (const Case& c : cases) {
            EXPECT_EQ(exists("s/" + c.name), !c.deleted) << c.name;
            EXPECT_EQ(exists("d/" + c.name), c.has_destination) << c.name;
        }
        EXPECT_FALSE(exists("s/zdir"));
    }
}

TEST_F(Delete, verify_with_an_unreadable_destination_stops_even_with_e)
{
    tree.file("s/a", "same");
    tree.file("s/b", "later");
    tree.file("d/a", "same");
    chmod((tree.path() + "/d/a").c_str(), 0600);
    const RunResult result = run_as_nobody({"/RVIE", "s\\", "d"});
    EXPECT_EQ(result.out, "delete file      s\\aCannot open destination file d\\a!(5/0x5)");
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_TRUE(exists("s/a"));
    EXPECT_TRUE(exists("s/b"));
}

TEST_F(Delete, failed_deletion_stops_the_run_unless_e_is_given)
{
    struct Case {
        std::string letters, out;
        int exit_code;
    };
    // The source directory belongs to root: nobody may not remove entries from it.
    for (const Case& c : std::vector<Case>{
             {"/RI",
              "delete file      s\\a\n"
              "Delete file s\\a failed!",
              1},
             {"/RIE",
              "delete file      s\\a\n"
              "Delete file s\\a failed!\n"
              "delete file      s\\b\n"
              "Delete file s\\b failed!\n"
              "delete directory s\n"
              "Delete directory s failed!\n",
              2},
         }) {
        tree.file("s/a", "1");
        tree.file("s/b", "2");
        const RunResult result = run_as_nobody({c.letters, "s"});
        if (differs(FAILED_DELETION_UNREPORTED)) {
            EXPECT_EQ(result.out, "delete file      s\\a\ndelete file      s\\b\ndelete directory s\n"
                                  "Delete directory s failed!\n") << c.letters;
        } else {
            EXPECT_EQ(result.out, c.out) << c.letters;
            EXPECT_EQ(result.exit_code, c.exit_code) << c.letters;
        }
        EXPECT_TRUE(exists("s/a") && exists("s/b"));
    }
}

// Answers at the terminal: N keeps a file, so its directory cannot go; with the prompts
// still on and the source naming that directory, the failure stops the run (no E), and
// the terminal's line is ended at the end of the run. A wildcard source makes it a
// remark, A answers every later entry, ESC stops at once.
TEST_F(Delete, answers_at_the_prompt_and_the_strict_directory_rule)
{
    const auto fill = [this] {
        for (const char* name : {"src/a/x", "src/b/y"})
            tree.file(name, "1");
    };
    fill();
    {
        PtySession s(ORVA_BINARY, {"/R", "src"}, tree.path());
        ASSERT_TRUE(s.wait_for("delete file      src\\a\\x" + PROMPT));
        s.type("n");
        ASSERT_TRUE(s.wait_for("delete directory src\\a" + PROMPT));
        s.type("y");
        EXPECT_EQ(s.wait_exit(), 1);
        EXPECT_EQ(s.output(), "delete file      src\\a\\x" + PROMPT + "n\r\n" + "delete directory src\\a" + PROMPT +
                                  "y\x1b[7m\r\nDelete directory src\\a failed!\x1b[0m\x1b[0m\r\n");
        EXPECT_TRUE(exists("src/a/x") && exists("src/b/y"));
    }
    {
        PtySession s(ORVA_BINARY, {"/R", "src\\*"}, tree.path());
        ASSERT_TRUE(s.wait_for("src\\a\\x" + PROMPT));
        s.type("n");
        ASSERT_TRUE(s.wait_for("delete directory src\\a" + PROMPT));
        s.type("y");
        ASSERT_TRUE(s.wait_for("Delete directory src\\a failed!\x1b[0m\r\ndelete file      src\\b\\y" + PROMPT));
        s.type("a");
        EXPECT_EQ(s.wait_exit(), 2);
        EXPECT_NE(s.output().find("src\\b\\y" + PROMPT + "a\r\ndelete directory src\\b\r\n"), std::string::npos)
            << s.output();
        EXPECT_TRUE(exists("src/a/x"));
        EXPECT_FALSE(exists("src/b"));
    }
    fill();
    {
        PtySession s(ORVA_BINARY, {"/R", "src"}, tree.path());
        ASSERT_TRUE(s.wait_for("src\\a\\x" + PROMPT));
        s.type("\x1b");
        EXPECT_EQ(s.wait_exit(), 1);
        EXPECT_EQ(s.output().find("delete directory"), std::string::npos) << s.output();
        EXPECT_TRUE(exists("src/a/x") && exists("src/b/y"));
    }
}

TEST_F(Delete, every_deleted_entry_counts_towards_the_pause)
{
    for (const char* name : {"d/1", "d/2", "d/3"})
        tree.file(name, "x");
    PtySession s(ORVA_BINARY, {"/RI", "/M2", "d"}, tree.path());
    ASSERT_TRUE(s.wait_for("delete file      d\\2\r\n"));
    s.settle(400);
    EXPECT_EQ(s.output().find("d\\3"), std::string::npos) << "paused after two entries";
    s.type("z");
    EXPECT_EQ(s.wait_exit(), 3);
    EXPECT_NE(s.output().find("delete directory d\r\n"), std::string::npos) << s.output();
    EXPECT_FALSE(exists("d"));
}

TEST_F(Delete, move_removes_the_emptied_directory_without_asking)
{
    tree.file("src/f", "x");
    PtySession s(ORVA_BINARY, {"/CM", "src", "dst"}, tree.path());
    ASSERT_TRUE(s.wait_for("move file        dst\\src\\f <Create:Y, Skip:N, All:A, Skip All:X>? "));
    s.type("y");
    EXPECT_EQ(s.wait_exit(), 1);
    EXPECT_NE(s.output().find("? y\r\ndelete directory src\r\n"), std::string::npos) << s.output();
    EXPECT_FALSE(exists("src"));
    EXPECT_TRUE(exists("dst/src/f"));
}
