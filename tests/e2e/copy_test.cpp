// Copy, update and move: exact lines, exit codes and what they did to both trees, where
// the random trees do not reach (those check plain copies, updates and moves).
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
// source directory and without a line of its own; /0 walks no layer below the source.
TEST(Copy, directories_made_for_files_only_and_none_past_the_layer_limit)
{
    struct Case {
        const char* option;
        const char* out;
        const char* missing;  // a directory the run must not make
    };
    const Case cases[] = {
        {"/CI/!D", "Create directory dst\ncreate file      dst\\one\\two\\deep.txt\ncreate file      dst\\top.txt\n",
         "dst/lonely"},
        {"/CI/0", "Create directory dst\ncreate file      dst\\top.txt\n", "dst/one"},
    };
    for (const Case& c : cases) {
        TempTree tree;
        tree.file("src/top.txt", "t");
        tree.file("src/one/two/deep.txt", "d");
        tree.directory("src/lonely");
        tree.stored_bits("src/one/two", "0x12");
        const RunResult result = run_orva({c.option, "src\\", "dst"}, tree.path());
        EXPECT_EQ(result.out, std::string(c.out)) << c.option;
        EXPECT_FALSE(tree.exists(c.missing)) << c.option;
        if (std::string(c.option) == "/CI/!D") {
            EXPECT_EQ(file_contents(tree.host("dst/one/two/deep.txt")), "d");
            EXPECT_EQ(stored_bits_of(tree.host("dst/one/two")), "0x2");
        }
    }
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
    EXPECT_FALSE(tree.exists("src/a.txt"));
    EXPECT_FALSE(tree.exists("src/gone"));
    EXPECT_TRUE(tree.exists("src/kept/stay.me"));
    EXPECT_FALSE(tree.exists("dst/src/kept/stay.me"));
}

TEST(Copy, verified_copy_removes_its_source_and_shows_its_progress)
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
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_FALSE(tree.exists("src/f"));
    EXPECT_EQ(file_contents(tree.path() + "/dst/f"), "contents");
    EXPECT_TRUE(tree.exists("dst/empty"));
}
