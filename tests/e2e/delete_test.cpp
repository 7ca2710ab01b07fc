// Delete end to end: /R on trees, the path forms, /RV's lines, failures and the strict
// directory rule at the prompt. Which files /RV deletes is the random trees' to check.
#include <gtest/gtest.h>

#include <array>
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
    void TearDown() override { EXPECT_TRUE(tree.exists("keep/k")) << "outside the source"; }

    RunResult run(const std::vector<std::string>& arguments) { return run_orva(arguments, tree.path()); }
    RunResult run_as_user(const std::vector<std::string>& arguments)
    {
        tree.give_to_user();
        return run_orva_as_user(arguments, tree.path());
    }
    TempTree tree;
};

// A tree goes bottom-up whatever the attributes; the count is of files, not directories.
// /RV tells each outcome of the comparison and deletes only equal files (the count is of
// those); directories go without a comparison, zdir has no counterpart.
TEST_F(Delete, tree_goes_bottom_up_and_verify_deletes_only_equal_files)
{
    tree.file("src/a/b/deep", "3");
    tree.file("src/a/read-only", "2", 0444);
    tree.file("src/hidden", "1");
    tree.stored_bits("src/hidden", "0x22");
    tree.stored_bits("src/a/b", "0x13");
    const std::string equal(65536 * 2 + 1, 'e');
    for (const auto& [name, source, destination] : std::vector<std::array<std::string, 3>>{
             {"differs", "abc", "abd"}, {"empty", "", ""}, {"equal", equal, equal}, {"size", "abc", "abcd"}}) {
        tree.file("s/" + name, source);
        tree.file("d/" + name, destination);
    }
    tree.file("s/missing", "q");
    tree.directory("s/zdir");
    expect_golden_cases("delete_cases.txt", tree.path());
    EXPECT_FALSE(tree.exists("src"));
    EXPECT_TRUE(tree.exists("s/differs") && tree.exists("s/missing") && tree.exists("s/size"));
    EXPECT_FALSE(tree.exists("s/empty") || tree.exists("s/equal") || tree.exists("s/zdir"));
}

// A destination the user may not read stops the run: E passes over failures to delete,
// not a comparison that cannot be made.
TEST_F(Delete, verify_with_an_unreadable_destination_stops_even_with_e)
{
    tree.file("s/a", "same");
    tree.file("s/b", "later");
    tree.file("d/a", "same", 0);
    const RunResult result = run_as_user({"/RVIE", "s\\", "d"});
    EXPECT_EQ(result.out, "delete file      s\\aCannot open destination file d\\a!(5/0x5)");
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_TRUE(tree.exists("s/a") && tree.exists("s/b"));
}

// An owner may delete from his read-only directory: the refusal needs another user's.
class DeleteAsRoot : public Delete {};

TEST_F(DeleteAsRoot, failed_deletion_stops_the_run_unless_e_is_given)
{
    REQUIRE_ROOT();
    tree.file("s/a", "1");
    tree.file("s/b", "2");
    const struct { const char* letters; std::string out; int exit_code; } cases[] = {
        {"/RI", "delete file      s\\a\nDelete file s\\a failed!", 1},
        {"/RIE", "delete file      s\\a\nDelete file s\\a failed!\ndelete file      s\\b\nDelete file s\\b failed!\n"
                 "delete directory s\nDelete directory s failed!\n", 2},
    };
    for (const auto& c : cases) {
        const RunResult result = run_orva_as_user({c.letters, "s"}, tree.path());
        if (differs(FAILED_DELETION_UNREPORTED)) {
            EXPECT_EQ(result.out, "delete file      s\\a\ndelete file      s\\b\ndelete directory s\n"
                                  "Delete directory s failed!\n") << c.letters;
        } else {
            EXPECT_EQ(result.out, c.out) << c.letters;
            EXPECT_EQ(result.exit_code, c.exit_code) << c.letters;
        }
        EXPECT_TRUE(tree.exists("s/a") && tree.exists("s/b"));
    }
}

// N keeps a file, so its directory cannot go: with the source naming that directory the
// failure stops the run (no E), highlighted, and the terminal's line is ended at the end.
// A wildcard source makes it a remark, and A answers every later entry.
TEST_F(Delete, the_strict_directory_rule_at_the_prompt)
{
    for (const char* name : {"src/a/x", "src/b/y"})
        tree.file(name, "1");
    {
        PtySession s(ORVA_BINARY, {"/R", "src"}, tree.path());
        ASSERT_TRUE(s.wait_for("delete file      src\\a\\x" + PROMPT));
        s.type("n");
        ASSERT_TRUE(s.wait_for("delete directory src\\a" + PROMPT));
        s.type("y");
        EXPECT_EQ(s.wait_exit(), 1);
        EXPECT_EQ(s.output(), "delete file      src\\a\\x" + PROMPT + "n\r\n" + "delete directory src\\a" + PROMPT +
                                  "y\x1b[7m\r\nDelete directory src\\a failed!\x1b[0m\x1b[0m\r\n");
        EXPECT_TRUE(tree.exists("src/a/x") && tree.exists("src/b/y"));
    }
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
    EXPECT_TRUE(tree.exists("src/a/x"));
    EXPECT_FALSE(tree.exists("src/b"));
}
