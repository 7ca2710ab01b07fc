// The default operation end to end (listing lines, CRC columns, errors and exit codes), the
// tree display (/T) and the size summation (/S).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "e2e/known_differences.h"
#include "e2e/run_program.h"
#include "support/mounts.h"

// 2008-09-12 10:11:12.34 UTC, the time most test files are given.
static const long long SEPT_12 = 1221214272;
static const long NANOS_34 = 340000000;

class Listing : public testing::Test {
protected:
    RunResult run(const std::vector<std::string>& arguments) { return run_orva(arguments, tree.path()); }
    TempTree tree;
};

// c.txt holds the CRCs' check text "123456789"; the long name is empty. Among the cases:
// hidden and read-only files, sizes past 4 GB and past their column, sources missing, and
// "." and ".." as the last component of a source, which stands for the directory's contents.
TEST_F(Listing, each_mode_and_crc_column_and_source_form)
{
    tree.files_at({{"src/a.txt", "hello"}, {"src/b.c", std::string(345, 'b')}, {"src/sub/c.txt", "123456789"},
                   {"src/sub/Long File Name.text", ""}, {"attrs/.hidden", "abc"}, {"attrs/ro", "1"},
                   {"w/a.txt", "a"}, {"w/sub/b.txt", "b"}, {"w/sub/deep/c.txt", "c"}},
                  SEPT_12, NANOS_34);
    tree.mode("attrs/ro", 0444);
    tree.sparse("attrs/big", 5368709120ll);
    tree.sparse("attrs/huge", 100000000000ll);
    tree.times("attrs/big", SEPT_12, NANOS_34);
    tree.times("attrs/huge", SEPT_12, NANOS_34);
    expect_golden_cases("listing_modes.txt", tree.path());
}

TEST_F(Listing, mode_with_bit_4_shows_write_creation_and_access_columns)
{
    tree.file("f", "x");
    const struct timespec times[2] = {{static_cast<time_t>(SEPT_12 + 86400), 0},
                                      {static_cast<time_t>(SEPT_12), NANOS_34}};
    ASSERT_EQ(utimensat(AT_FDCWD, (tree.path() + "/f").c_str(), times, 0), 0);
    // The creation column is the file's birth (or the earlier of write and change time):
    // check the columns around it.
    const std::string line = run({"/L5", "f"}).out;
    ASSERT_GE(line.size(), 90u) << line;
    EXPECT_EQ(line.substr(0, 44), "a-----             1 08-09-12 10:11:12.34 C:");
    EXPECT_EQ(line.substr(64, 3), " A:");
    EXPECT_EQ(line.substr(line.size() - 23), "08-09-13 10:11:12.00 f\n");
    EXPECT_EQ(run({"/L7", "f"}).out, line);
}

TEST_F(Listing, unreadable_file_stops_the_run_without_e_and_is_skipped_with_it)
{
    tree.file("a", "1");
    tree.file("c", "3");
    ASSERT_EQ(symlink("missing-target", (tree.path() + "/b").c_str()), 0);
    ASSERT_EQ(mkfifo((tree.path() + "/d").c_str(), 0666), 0);
    if (differs(DANGLING_LINKS_NOT_LISTED) && differs(SPECIAL_FILES_OPENED)) {
        const RunResult wine = run({"/F", "*"});
        EXPECT_EQ(wine.out.find(" b\n"), std::string::npos) << wine.out;
        EXPECT_NE(wine.out.find(" 0000 d\n"), std::string::npos) << "the FIFO read as empty: " << wine.out;
        EXPECT_EQ(wine.exit_code, 3);
        return;
    }
    const RunResult stopped = run({"/F", "*"});
    EXPECT_NE(stopped.out.find("Cannot opepn file b!(2/0x2)\n"), std::string::npos) << stopped.out;
    EXPECT_EQ(stopped.out.find(" c\n"), std::string::npos) << "the run stops at the error";
    EXPECT_EQ(stopped.exit_code, 2);
    // A FIFO is refused at once instead of blocking the run for ever.
    const RunResult going_on = run({"/FE", "*"});
    EXPECT_NE(going_on.out.find(" c\n"), std::string::npos);
    EXPECT_EQ(going_on.out.find(" b\n"), std::string::npos) << "the unreadable file gets no line";
    EXPECT_NE(going_on.out.find("Cannot opepn file d!(5/0x5)\n"), std::string::npos) << going_on.out;
    EXPECT_EQ(going_on.exit_code, 4);
}

// tmpfs stores any 64-bit second; ext4 cannot hold either end.
TEST(ListingAsRoot, times_outside_the_filetime_years_are_clamped_not_dropped)
{
    REQUIRE_ROOT();
    TempTree tree;
    tree.directory("t");
    const ScopedMount tmpfs(tree.path() + "/t", "tmpfs", 0, "size=1m");
    ASSERT_TRUE(tmpfs.mounted()) << tmpfs.why();
    tree.file("t/early");
    tree.file("t/late");
    tree.times("t/early", -20000000000ll);
    tree.times("t/late", 1000000000000ll);
    const RunResult result = run_orva({"/Y4", "t\\"}, tree.path());
    const bool no_time = differs(TIMES_OUTSIDE_SYSTEMTIME);
    const std::string line_start = "a-----             0 ";
    EXPECT_EQ(result.out, line_start + (no_time ? "0000-00-00 00:00:00.00" : "1601-01-01 00:00:00.00") + " t\\early\n" +
                              line_start + (no_time ? "0000-00-00 00:00:00.00" : "30827-12-31 23:59:59.99") + " t\\late\n");
    EXPECT_EQ(result.exit_code, 2);
}

// 表 in Shift-JIS ends in the byte of '\\': the name is one component, listed, entered and
// matched like any other.
TEST_F(Listing, shift_jis_name_ending_in_the_separator_byte_is_one_component)
{
    tree.files_at({{"x/\x95\x5c/in.txt", "abc"}}, SEPT_12, NANOS_34);
    if (differs(NAMES_READ_AS_UTF8)) {
        EXPECT_EQ(run_orva({"x\\\x95\x5c"}, tree.path(), {{"LC_ALL", "ja_JP.SJIS"}}).out,
                  "Source file or directory is not found.\n");
        return;
    }
    expect_golden_cases("shift_jis_names.txt", tree.path());
}

class TreeAndSize : public Listing {};

// Every entry is written 2008-09-12 10:11:12 UTC. A directory source is its own first line,
// alone at layer 0; the layer limit stops the drawing at the directories it does not
// enter; b.txt is not the last line though the pattern refuses z.dat after it; short names
// fill a twelve-character field; directories outside the /P directory draw nothing, so the
// first line lies at layer 1, at the left edge, and what follows keeps its true layer. The
// sizes: a running total per file in bytes or in clusters, a partly used cluster counted
// whole, the total alone; the exit code is the total capped at 254, from all 64 bits.
TEST_F(TreeAndSize, tree_drawings_and_size_lines_of_the_golden_cases)
{
    tree.files_at({{"src/a.txt", "hello"}, {"src/b1/b.txt", "12"}, {"src/b1/sub/deep.txt", ""}, {"src/c.txt", "xyz"},
                   {"pat/a.txt", ""}, {"pat/b.txt", ""}, {"pat/z.dat", ""},
                   {"short/a.txt", ""}, {"short/Long File Name.text", ""}, {"short/noext", ""},
                   {"p/other/x.txt", ""}, {"p/zone/pick/in.txt", ""}, {"p/zone/pick/inner/y.txt", ""},
                   {"p/zone/top.txt", ""},
                   {"sizes/f0", ""}, {"sizes/f1", "x"}, {"sizes/f4097", std::string(4097, 'x')}, {"sizes/sub/empty", ""}},
                  1221214272);
    tree.sparse("five/big", 5000000000LL);
    expect_golden_cases("tree_and_size.txt", tree.path());
}

// Each layer's column follows its own directory, also far beyond 32 or 64 layers: only
// the directories at layers divisible by 3 have an entry after their subdirectory.
TEST_F(TreeAndSize, columns_stay_right_three_hundred_layers_down)
{
    const int layers = 300;
    std::string path = "src";
    for (int layer = 0; layer < layers; layer++) {
        if (layer % 3 == 0)
            tree.file(path + "/z");
        path += "/d";
        tree.directory(path);
    }
    tree.file(path + "/end.txt");
    const RunResult result = run({"/T", "src\\"});
    std::string margin;
    for (int layer = 0; layer < layers; layer++)
        margin += layer % 3 == 0 ? " |  " : "    ";
    EXPECT_EQ(result.out.substr(0, 8), "-+- d   ");
    if (differs(PATHS_PAST_MAX_PATH)) {
        EXPECT_EQ(result.out.find("end.txt"), std::string::npos) << "not reached under Wine";
        return;
    }
    EXPECT_NE(result.out.find("\n" + margin + " +- end.txt        "), std::string::npos);
    // The z of layer 297 closes its directory: the columns above it continue.
    EXPECT_NE(result.out.find("\n" + margin.substr(0, 297 * 4) + " +- z        "), std::string::npos);
    EXPECT_EQ(result.out.rfind("\n +- z        "), result.out.rfind('\n', result.out.size() - 2));
}
