// The destination of /C, /U, /V and /RV as the driver resolves it before the walk.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "e2e/known_differences.h"
#include "e2e/run_program.h"

static bool is_directory(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

TEST(Destination, same_directory_is_refused_before_anything_is_touched)
{
    TempTree tree;
    tree.file("a.txt", "x");
    const std::string refused = "Source and destination are same directory.\n";
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"/C"}, {"/U", "*.txt"}, {"/RV", "a.txt", ".\\"}, {"/C", "sub\\*", "SUB"}}) {
        tree.directory("sub");
        const RunResult result = run_orva(arguments, tree.path());
        EXPECT_EQ(result.out, refused) << arguments[0];
        EXPECT_EQ(result.exit_code, 0);
    }
}

TEST(Destination, japanese_same_directory_message)
{
    TempTree tree;
    const RunResult result = run_orva({"/C"}, tree.path(), {{"LANG", "ja_JP.SJIS"}});
    EXPECT_EQ(result.out, messages_in(to_cp932("ソースとディスティネーションが同じディレクトリです.\n"),
                                      "Source and destination are same directory.\n"));
}

TEST(Destination, verify_makes_no_same_directory_check)
{
    TempTree tree;
    EXPECT_EQ(run_orva({"/V"}, tree.path()).out, "");
}

TEST(Destination, missing_destination_directory_is_created_for_copy_and_update)
{
    TempTree tree;
    tree.file("src/a", "x");
    const RunResult copy = run_orva({"/C", "src", "new"}, tree.path());
    EXPECT_EQ(copy.out.substr(0, 21), "Create directory new\n");
    EXPECT_TRUE(is_directory(tree.path() + "/new"));
    std::string absolute = "Z:" + tree.path() + "\\other";
    for (char& c : absolute)
        c = c == '/' ? '\\' : c;
    const RunResult update = run_orva({"/U", "src", absolute}, tree.path());
    EXPECT_EQ(update.out.substr(0, 17 + absolute.size() + 1), "Create directory " + absolute + "\n");
    EXPECT_TRUE(is_directory(tree.path() + "/other"));
}

TEST(Destination, existing_or_trailing_separator_destination_is_not_created)
{
    TempTree tree;
    tree.file("src/a", "x");
    tree.directory("old");
    EXPECT_EQ(run_orva({"/CI", "src", "old"}, tree.path()).out, "Create directory old\\src\ncreate file      old\\src\\a\n");
    // A destination ending in '\' is taken as it stands: its directories are not made.
    const RunResult unmade = run_orva({"/CI", "src", "gone\\"}, tree.path());
    EXPECT_EQ(unmade.out, "Create directory gone\\src\nCannot create directory!(3/0x3)\n");
    EXPECT_FALSE(is_directory(tree.path() + "/gone"));
    EXPECT_EQ(run_orva({"/V", "src", "gone2"}, tree.path()).out,
              "Verify directory gone2\\src is not found.\nVerify file      gone2\\src\\a is not found.\n");
    EXPECT_FALSE(is_directory(tree.path() + "/gone2"));
}

TEST(Destination, directory_that_cannot_be_created_ends_the_run_with_zero)
{
    TempTree tree;
    tree.file("src/a", "x");
    const RunResult result = run_orva({"/C", "src", "no\\such\\place"}, tree.path());
    EXPECT_EQ(result.out, "Create directory no\\such\\place\nCannot create directory!(3/0x3)\n");
    EXPECT_EQ(result.exit_code, 0);
    tree.file("plain", "x");
    const RunResult over_a_file = run_orva({"/C", "src", "plain"}, tree.path());
    EXPECT_EQ(over_a_file.out, "Create directory plain\nCannot create directory!(183/0xB7)\n");
}

TEST(Destination, unmapped_drive_name_is_used_unchanged)
{
    TempTree tree;
    tree.file("src/a", "x");
    const RunResult result = run_orva({"/C", "src", "Q:"}, tree.path());
    EXPECT_EQ(result.out.find("Create directory Q:\n"), std::string::npos);
}
