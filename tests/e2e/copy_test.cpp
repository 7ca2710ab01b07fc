// Copy, update and move: exact lines, exit codes and what they did to both trees, where
// the random trees do not reach (those check plain copies, updates and moves), and the
// destination as the driver resolves it before the walk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/run_program.h"

// The update rule on the last write times, to the edge of the 2-second tolerance; a copy
// replaces whatever the times.
TEST(Copy, update_rule_and_its_two_second_tolerance)
{
    struct Case {
        const char* option;
        long long source_offset_ns; // source time minus destination time
        bool replaced;
    };
    const Case cases[] = {
        {"/UI", 0, false},          {"/UI", 100, true},           {"/UI", -1000000000, false},
        {"/UI2", 1999999900, false}, {"/UI2", 2000000000, true},  {"/CI", -5000000000, true},
    };
    for (const Case& c : cases) {
        TempTree tree;
        tree.file("src/f", "new");
        tree.file("dst/f", "old");
        const long long base = 1600000000;
        tree.times("dst/f", base, 0);
        const long long source_ns = base * 1000000000LL + c.source_offset_ns;
        tree.times("src/f", source_ns / 1000000000, source_ns % 1000000000);
        const RunResult result = run_orva({c.option, "src\\f", "dst"}, tree.path());
        const std::string label = std::string(c.option) + " " + std::to_string(c.source_offset_ns);
        EXPECT_EQ(result.out, c.replaced ? "update file      dst\\f\n" : "") << label;
        EXPECT_EQ(file_contents(tree.path() + "/dst/f"), c.replaced ? "new" : "old") << label;
        EXPECT_EQ(result.exit_code, 1) << label;
    }
}

// /!D offers no directory, so parents come into being only for files, each like its
// source directory and without a line of its own; /0 walks no layer below the source. A
// move takes the files away and removes the directories it emptied, bottom-up; a directory
// that keeps an unselected file stays. A verified copy shows its progress and removes its source.
TEST(Copy, parents_made_for_files_the_layer_limit_a_move_and_a_verified_copy)
{
    TempTree tree;
    tree.file("src/top.txt", "t");
    tree.file("src/one/two/deep.txt", "d");
    tree.directory("src/lonely");
    tree.stored_bits("src/one/two", "0x12");
    for (const char* name : {"m/src/a.txt", "m/src/gone/deep/b.txt", "m/src/kept/c.txt", "m/src/kept/stay.me"})
        tree.file(name, "new");
    tree.file("m/dst/src/a.txt", "old");
    tree.file("v/src/f", "contents");
    tree.file("v/src/empty", "");
    expect_golden_cases("copy_cases.txt", tree.path());
    EXPECT_FALSE(tree.exists("d1/lonely"));
    EXPECT_EQ(stored_bits_of(tree.host("d1/one/two")), "0x2");
    EXPECT_FALSE(tree.exists("d2/one"));
    EXPECT_EQ(file_contents(tree.host("m/dst/src/a.txt")), "new");
    EXPECT_FALSE(tree.exists("m/src/a.txt") || tree.exists("m/src/gone") || tree.exists("m/dst/src/kept/stay.me"));
    EXPECT_TRUE(tree.exists("m/src/kept/stay.me"));
    EXPECT_FALSE(tree.exists("v/src/f"));
    EXPECT_EQ(file_contents(tree.host("v/dst/f")), "contents");
}

// A destination that is missing is made for a copy or an update, but not when it ends
// in a backslash (taken as it stands) nor for verify; one that cannot be made ends the run with 0.
TEST(Destination, is_refused_made_or_taken_as_it_stands)
{
    TempTree tree;
    tree.file("a.txt", "x");
    tree.file("src/a", "x");
    tree.directory("sub");
    expect_golden_cases("destination_cases.txt", tree.path());
    EXPECT_EQ(file_contents(tree.host("new/src/a")), "x");
    EXPECT_EQ(file_contents(tree.host("sub/src/a")), "x");
    EXPECT_FALSE(tree.exists("gone") || tree.exists("no") || tree.exists("sub/sub"));
    EXPECT_EQ(file_contents(tree.host("a.txt")), "x");
}

TEST(Destination, an_absolute_destination_is_made_and_shown_as_given)
{
    TempTree tree;
    tree.file("src/a", "x");
    const std::string absolute = tree.windows("other");
    const RunResult update = run_orva({"/UI", "src", absolute}, tree.path());
    EXPECT_EQ(update.out, "Create directory " + absolute + "\nCreate directory " + absolute + "\\src\n" +
                              "create file      " + absolute + "\\src\\a\n");
    EXPECT_EQ(file_contents(tree.host("other/src/a")), "x");
}
