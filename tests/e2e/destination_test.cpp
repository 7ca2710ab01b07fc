// The destination of /C, /U, /V and /RV as the driver resolves it before the walk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/run_program.h"

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
