// Copy, update and move: exact lines, exit codes and what they did to both trees.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/xattr.h>

#include <filesystem>
#include <string>

#include "e2e/known_differences.h"
#include "e2e/run_program.h"

static bool exists(const std::string& path)
{
    struct stat status;
    return lstat(path.c_str(), &status) == 0;
}

static void set_dos_attributes(const std::string& path, const char* value)
{
    ASSERT_EQ(setxattr(path.c_str(), "user.DOSATTRIB", value, strlen(value), 0), 0);
}

// A tree of two levels with a read-only file and a hidden directory.
static void make_source(TempTree& tree)
{
    tree.file("src/a.txt", "alpha");
    tree.file("src/sub/b.bin", std::string(200000, 'b'));
    tree.file("src/sub/ro.txt", "read only");
    tree.directory("src/empty");
    chmod((tree.path() + "/src/sub/ro.txt").c_str(), 0444);
    set_dos_attributes(tree.path() + "/src/sub", "0x12");
    tree.times("src/a.txt", 1000000001, 123456700);
}

TEST(Copy, a_tree_is_copied_with_contents_times_and_attributes)
{
    TempTree tree;
    make_source(tree);
    const RunResult result = run_orva({"/CIV", "src", "dst"}, tree.path());
    EXPECT_EQ(result.out, "Create directory dst\n"
                          "Create directory dst\\src\n"
                          "create file      dst\\src\\a.txt  verify done\n"
                          "Create directory dst\\src\\empty\n"
                          "Create directory dst\\src\\sub\n"
                          "create file      dst\\src\\sub\\b.bin  verify done\n"
                          "create file      dst\\src\\sub\\ro.txt  verify done\n")
        << result.out;
    EXPECT_EQ(result.exit_code, 3);
    // The files list alike in both trees: attributes, sizes, times and CRCs.
    const RunResult source_listing = run_orva({"/FD/!D"}, tree.path() + "/src");
    EXPECT_EQ(run_orva({"/FD/!D"}, tree.path() + "/dst/src").out, source_listing.out);
    EXPECT_NE(source_listing.out.find("a----r"), std::string::npos) << source_listing.out;
    // The hidden directory was made hidden too.
    EXPECT_NE(run_orva({"/&H"}, tree.path() + "/dst/src").out.find("-d--h-"), std::string::npos);
}

// The update rule on the last write times, and the headers of each case.
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

TEST(Copy, a_read_only_destination_is_replaced_and_missing_ones_are_created)
{
    TempTree tree;
    tree.file("src/f", "new");
    tree.file("src/g", "g");
    tree.file("dst/f", "old");
    chmod((tree.path() + "/dst/f").c_str(), 0444);
    const RunResult result = run_orva({"/CI", "src\\", "dst"}, tree.path());
    EXPECT_EQ(result.out, "update file      dst\\f\ncreate file      dst\\g\n");
    EXPECT_EQ(file_contents(tree.path() + "/dst/f"), "new");
}

// /!D: no directory entry is offered, so parents come into being only for files, each
// like its source directory, and without a line of their own.
TEST(Copy, missing_parents_are_created_silently_like_their_sources)
{
    TempTree tree;
    tree.file("src/one/two/three/deep.txt", "d");
    tree.directory("src/lonely");
    set_dos_attributes(tree.path() + "/src/one/two", "0x12");
    const RunResult result = run_orva({"/CI/!D", "src\\", "dst"}, tree.path());
    EXPECT_EQ(result.out, "Create directory dst\ncreate file      dst\\one\\two\\three\\deep.txt\n");
    EXPECT_EQ(file_contents(tree.path() + "/dst/one/two/three/deep.txt"), "d");
    EXPECT_FALSE(exists(tree.path() + "/dst/lonely"));
    char value[16] = {};
    getxattr((tree.path() + "/dst/one/two").c_str(), "user.DOSATTRIB", value, sizeof value - 1);
    EXPECT_STREQ(value, "0x2");
}

TEST(Copy, a_directory_at_the_layer_limit_is_not_created)
{
    TempTree tree;
    tree.file("src/top.txt", "t");
    tree.file("src/sub/below.txt", "b");
    const RunResult result = run_orva({"/CI/0", "src\\", "dst"}, tree.path());
    EXPECT_EQ(result.out, "Create directory dst\ncreate file      dst\\top.txt\n");
    EXPECT_FALSE(exists(tree.path() + "/dst/sub"));
}

// A move takes the files away and removes the directories it emptied, bottom-up; a
// directory that keeps an unselected file stays.
TEST(Copy, move_removes_emptied_directories_and_keeps_one_with_an_unselected_file)
{
    TempTree tree;
    tree.file("src/a.txt", "a");
    tree.file("src/gone/deep/b.txt", "b");
    tree.file("src/kept/c.txt", "c");
    tree.file("src/kept/stay.me", "s");
    tree.file("dst/src/a.txt", "old");
    const RunResult result = run_orva({"/CMI", "/I:'*.me'", "src", "dst"}, tree.path());
    EXPECT_EQ(result.out, "update file      dst\\src\\a.txt\n"
                          "Create directory dst\\src\\gone\n"
                          "Create directory dst\\src\\gone\\deep\n"
                          "move file        dst\\src\\gone\\deep\\b.txt\n"
                          "delete directory src\\gone\\deep\n"
                          "delete directory src\\gone\n"
                          "Create directory dst\\src\\kept\n"
                          "move file        dst\\src\\kept\\c.txt\n")
        << result.out;
    EXPECT_EQ(result.exit_code, 3);
    EXPECT_EQ(file_contents(tree.path() + "/dst/src/a.txt"), "a");
    EXPECT_FALSE(exists(tree.path() + "/src/a.txt"));
    EXPECT_FALSE(exists(tree.path() + "/src/gone"));
    EXPECT_TRUE(exists(tree.path() + "/src/kept/stay.me"));
    EXPECT_FALSE(exists(tree.path() + "/dst/src/kept/stay.me"));
}

TEST(Copy, remove_source_after_a_verified_copy_and_the_progress_field)
{
    TempTree tree;
    tree.file("src/f", "contents");
    tree.file("src/empty", "");
    const RunResult result = run_orva({"/CIVRP", "src\\", "dst"}, tree.path());
    EXPECT_EQ(result.out, "Create directory dst\n"
                          "create file      dst\\empty (100%,-----KB/sec)  verify (100%,-----KB/sec)  done"
                          "  delete source file\n"
                          "create file      dst\\f (100%,-----KB/sec)  verify (100%,-----KB/sec)  done"
                          "  delete source file\n")
        << result.out;
    EXPECT_FALSE(exists(tree.path() + "/src/f"));
    EXPECT_EQ(file_contents(tree.path() + "/dst/f"), "contents");
    EXPECT_TRUE(exists(tree.path() + "/dst/empty"));
}

TEST(Copy, japanese_lines)
{
    TempTree tree;
    tree.file("src/f", "x");
    tree.file("dst/g", "old");
    tree.file("src/g", "new");
    const RunResult result = run_orva({"/CIV", "src\\", "dst"}, tree.path(), {{"LANG", "ja_JP.SJIS"}});
    EXPECT_EQ(result.out, messages_in(to_cp932("作成ファイル     dst\\f  照合正常\n更新ファイル     dst\\g  照合正常\n"),
                                      "create file      dst\\f  verify done\nupdate file      dst\\g  verify done\n"));
}
