// The default operation end to end: listing lines, CRC columns, selection and limits.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <map>
#include <string>

#include "e2e/known_differences.h"
#include "e2e/run_program.h"
#include "support/mounts.h"

// 2008-09-12 10:11:12.34 UTC, the time most test files are given.
static const long long SEPT_12 = 1221214272;
static const long NANOS_34 = 340000000;

static std::string file_line(const std::string& attributes, const std::string& size, const std::string& path,
                             const std::string& date = "08-09-12 10:11:12.34")
{
    return attributes + std::string(14 - size.size(), ' ') + size + " " + date + " " + path + "\n";
}

static std::string directory_line(const std::string& path, const std::string& date = "08-09-12 10:11:12.34")
{
    return "-d----" + std::string(15, ' ') + date + " " + path + "\n";
}

class Listing : public testing::Test {
protected:
    // Files with their contents, then each of them and of their directories at the known time.
    void files(std::initializer_list<std::pair<std::string, std::string>> entries)
    {
        tree.files_at(entries, SEPT_12, NANOS_34);
    }
    // A small tree: src with two files and a subdirectory with two more.
    void fill()
    {
        files({{"src/a.txt", "hello"}, {"src/b.c", std::string(345, 'b')}, {"src/sub/c.txt", "123456789"},
               {"src/sub/Long File Name.text", ""}});
    }
    RunResult run(const std::vector<std::string>& arguments) { return run_orva(arguments, tree.path()); }
    TempTree tree;
};

TEST_F(Listing, directory_source_lists_itself_then_its_contents_in_upper_case_name_order)
{
    fill();
    const RunResult result = run({"src"});
    EXPECT_EQ(result.out, directory_line("src") + file_line("a-----", "5", "src\\a.txt") +
                              file_line("a-----", "345", "src\\b.c") + directory_line("src\\sub") +
                              file_line("a-----", "9", "src\\sub\\c.txt") +
                              file_line("a-----", "0", "src\\sub\\Long File Name.text"));
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exit_code, 4) << "files listed, directories not counted";
}

TEST_F(Listing, trailing_backslash_lists_the_contents_only)
{
    fill();
    const RunResult with_backslash = run({"src\\"});
    const RunResult with_star = run({"src\\*"});
    EXPECT_EQ(with_backslash.out.substr(0, 6), "a-----");
    EXPECT_EQ(with_backslash.out, with_star.out);
    EXPECT_EQ(with_backslash.exit_code, 4);
}

TEST_F(Listing, no_source_lists_the_current_directory)
{
    fill();
    EXPECT_EQ(run_orva({}, tree.path() + "/src/sub").out,
              file_line("a-----", "9", "c.txt") + file_line("a-----", "0", "Long File Name.text"));
}

TEST_F(Listing, short_form_modes_show_upper_case_aliases)
{
    fill();
    const std::string expected = directory_line("SRC\\SUB") + file_line("a-----", "9", "SRC\\SUB\\C.TXT") +
                                 file_line("a-----", "0", "SRC\\SUB\\LONGFI~1.TEX");
    EXPECT_EQ(aliases_blurred(run({"/L0", "src\\sub"}).out), aliases_blurred(expected));
    EXPECT_EQ(aliases_blurred(run({"/L2", "src\\sub"}).out), aliases_blurred(expected));
}

TEST_F(Listing, four_digit_years)
{
    files({{"f", "x"}});
    EXPECT_EQ(run({"/Y4", "f"}).out, file_line("a-----", "1", "f", "2008-09-12 10:11:12.34"));
}

TEST_F(Listing, mode_with_bit_4_shows_write_creation_and_access_columns)
{
    tree.file("f", "x");
    const struct timespec times[2] = {{static_cast<time_t>(SEPT_12 + 86400), 0},
                                      {static_cast<time_t>(SEPT_12), NANOS_34}};
    ASSERT_EQ(utimensat(AT_FDCWD, (tree.path() + "/f").c_str(), times, 0), 0);
    const RunResult result = run({"/L5", "f"});
    // The creation column is the file's birth (or the earlier of write and change time):
    // check the columns around it.
    const std::string& line = result.out;
    ASSERT_GE(line.size(), 90u) << line;
    EXPECT_EQ(line.substr(0, 21), "a-----             1 ");
    EXPECT_EQ(line.substr(21, 23), "08-09-12 10:11:12.34 C:");
    EXPECT_EQ(line.substr(line.size() - 23), "08-09-13 10:11:12.00 f\n");
    EXPECT_EQ(line.substr(64, 3), " A:");
    EXPECT_EQ(run({"/L7", "f"}).out, line);
}

TEST_F(Listing, hidden_read_only_and_sizes_past_4_gb_and_past_the_column)
{
    tree.sparse("big", 5368709120ll);
    tree.sparse("huge", 100000000000ll);
    for (const char* path : {"big", "huge"})
        tree.times(path, SEPT_12, NANOS_34);
    files({{".hidden", "abc"}, {"ro", "1"}});
    ASSERT_EQ(chmod((tree.path() + "/ro").c_str(), 0444), 0);
    EXPECT_EQ(run({"*"}).out, file_line("a---h-", "3", ".hidden") + file_line("a-----", "5,368,709,120", "big") +
                                  "a-----100,000,000,000 08-09-12 10:11:12.34 huge\n" + file_line("a----r", "1", "ro"));
}

TEST_F(Listing, crc16_and_crc32_columns)
{
    files({{"d/nine", "123456789"}, {"d/empty", ""}});
    EXPECT_EQ(run({"/F", "d"}).out, directory_line("     d") + file_line("a-----", "0", "0000 d\\empty") +
                                        file_line("a-----", "9", "BB3D d\\nine"));
    EXPECT_EQ(run({"/FD", "d\\"}).out,
              file_line("a-----", "0", "00000000 d\\empty") + file_line("a-----", "9", "cbf43926 d\\nine"));
}

TEST_F(Listing, crc_start_values)
{
    files({{"empty", ""}, {"nine", "123456789"}});
    EXPECT_EQ(run({"/FI1234", "empty"}).out, file_line("a-----", "0", "1234 empty"));
    EXPECT_EQ(run({"/FDIFFFFFFFF", "empty"}).out, file_line("a-----", "0", "00000000 empty"));
    const std::string standard = run({"/FD", "nine"}).out;
    EXPECT_EQ(run({"/FDIFFFFFFFF", "nine"}).out, standard);
    EXPECT_NE(run({"/FDI0", "nine"}).out, standard);
}

TEST_F(Listing, read_test_has_no_crc_column_and_the_later_letter_decides)
{
    files({{"nine", "123456789"}});
    const std::string plain = file_line("a-----", "9", "nine");
    EXPECT_EQ(run({"/FN", "nine"}).out, plain);
    EXPECT_EQ(run({"/FDN", "nine"}).out, plain);
    EXPECT_NE(run({"/FND", "nine"}).out.find(" cbf43926 nine"), std::string::npos);
}

TEST_F(Listing, progress_letter_adds_the_speed_column)
{
    files({{"d/nine", "123456789"}});
    EXPECT_EQ(run({"/FP", "d"}).out,
              directory_line(std::string(17, ' ') + "d") + file_line("a-----", "9", "BB3D -----KB/sec d\\nine"));
}

TEST_F(Listing, unreadable_file_stops_the_run_without_e_and_is_skipped_with_it)
{
    tree.file("a", "1");
    tree.file("c", "3");
    ASSERT_EQ(symlink("missing-target", (tree.path() + "/b").c_str()), 0);
    if (differs(DANGLING_LINKS_NOT_LISTED) && differs(SPECIAL_FILES_OPENED)) {
        ASSERT_EQ(mkfifo((tree.path() + "/d").c_str(), 0666), 0);
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
    const RunResult going_on = run({"/FE", "*"});
    EXPECT_NE(going_on.out.find(" c\n"), std::string::npos);
    EXPECT_EQ(going_on.out.find(" b\n"), std::string::npos) << "the unreadable file gets no line";
    EXPECT_EQ(going_on.exit_code, 3);
    // A FIFO is refused at once instead of blocking the run for ever.
    ASSERT_EQ(mkfifo((tree.path() + "/d").c_str(), 0666), 0);
    const RunResult past_fifo = run({"/FE", "*"});
    EXPECT_NE(past_fifo.out.find("Cannot opepn file d!(5/0x5)\n"), std::string::npos) << past_fifo.out;
    EXPECT_EQ(past_fifo.exit_code, 4);
}

TEST_F(Listing, exit_code_counts_files_and_caps_at_254)
{
    for (int i = 0; i < 300; i++)
        tree.file("many/f" + std::to_string(i));
    EXPECT_EQ(run({"many\\"}).exit_code, 254);
    EXPECT_EQ(run({"many\\f1*"}).exit_code, 111);
}

TEST_F(Listing, missing_directory_is_not_found_and_a_missing_name_matches_nothing)
{
    tree.file("d/x", "1");
    const RunResult missing_directory = run({"nowhere\\x.txt"});
    EXPECT_EQ(missing_directory.out, "Source file or directory is not found.\n");
    EXPECT_EQ(missing_directory.exit_code, 255);
    EXPECT_EQ(run({"nowhere\\"}).exit_code, 255);
    const RunResult missing_name = run({"d\\nothing"});
    EXPECT_EQ(missing_name.out, "");
    EXPECT_EQ(missing_name.exit_code, 0);
}

TEST_F(Listing, japanese_not_found_message)
{
    EXPECT_EQ(run_orva({"nowhere\\"}, tree.path(), {{"LANG", "ja_JP.SJIS"}}).out,
              messages_in(to_cp932("ソースファイルまたはディレクトリが見つかりません.\n"),
                          "Source file or directory is not found.\n"));
}

// tmpfs stores any 64-bit second; ext4 cannot hold either end.
TEST_F(Listing, times_outside_the_filetime_years_are_clamped_not_dropped)
{
    tree.directory("t");
    const ScopedMount tmpfs(tree.path() + "/t", "tmpfs", 0, "size=1m");
    if (!tmpfs.mounted())
        GTEST_SKIP() << tmpfs.why();
    tree.file("t/early");
    tree.file("t/late");
    tree.times("t/early", -20000000000ll);
    tree.times("t/late", 1000000000000ll);
    const RunResult result = run({"/Y4", "t\\"});
    const bool no_time = differs(TIMES_OUTSIDE_SYSTEMTIME);
    EXPECT_EQ(result.out, file_line("a-----", "0", "t\\early", no_time ? "0000-00-00 00:00:00.00" : "1601-01-01 00:00:00.00") +
                              file_line("a-----", "0", "t\\late", no_time ? "0000-00-00 00:00:00.00" : "30827-12-31 23:59:59.99"));
    EXPECT_EQ(result.exit_code, 2);
}

// 表 in Shift-JIS ends in the byte of '\\': the name is one component, listed, entered and
// found as a destination like any other.
TEST_F(Listing, shift_jis_name_ending_in_the_separator_byte_is_one_component)
{
    const std::string table = "\x95\x5c";
    files({{"x/" + table + "/in.txt", "abc"}, {"d/" + table + "/old", ""}});
    const std::map<std::string, std::string> shift_jis = {{"LC_ALL", "ja_JP.SJIS"}};
    const RunResult listed = run_orva({"x\\" + table}, tree.path(), shift_jis);
    if (differs(NAMES_READ_AS_UTF8)) {
        EXPECT_EQ(listed.out, "Source file or directory is not found.\n");
        EXPECT_EQ(listed.exit_code, 255);
        return;
    }
    EXPECT_EQ(listed.out, directory_line("x\\" + table) + file_line("a-----", "3", "x\\" + table + "\\in.txt"));
    EXPECT_EQ(listed.exit_code, 1);
    EXPECT_EQ(run_orva({"/L0", "x"}, tree.path(), shift_jis).out,
              directory_line("X") + directory_line("X\\" + table) + file_line("a-----", "3", "X\\" + table + "\\IN.TXT"));
    EXPECT_EQ(run_orva({"/W='in.txt'", "x\\"}, tree.path(), shift_jis).out,
              directory_line("x\\" + table) + file_line("a-----", "3", "x\\" + table + "\\in.txt"));
    const RunResult copied = run_orva({"/C", "x\\" + table + "\\in.txt", "d\\" + table}, tree.path(), shift_jis);
    EXPECT_EQ(copied.out.find(to_cp932("作成ディレクトリ")), std::string::npos) << copied.out;
}
