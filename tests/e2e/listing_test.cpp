// The default operation end to end: listing lines, CRC columns, selection and limits.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <string>

#include "e2e/run_program.h"

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

// A small tree whose every entry has the same known time.
static void fill(TempTree& tree)
{
    tree.file("src/a.txt", "hello");
    tree.file("src/b.c", std::string(345, 'b'));
    tree.file("src/sub/c.txt", "123456789");
    tree.file("src/sub/Long File Name.text", "");
    for (const char* path : {"src/a.txt", "src/b.c", "src/sub/c.txt", "src/sub/Long File Name.text", "src/sub", "src"})
        tree.times(path, SEPT_12, NANOS_34);
}

TEST(Listing, directory_source_lists_itself_then_its_contents_in_upper_case_name_order)
{
    TempTree tree;
    fill(tree);
    const RunResult result = run_orva({"src"}, tree.path());
    EXPECT_EQ(result.out, directory_line("src") + file_line("a-----", "5", "src\\a.txt") +
                              file_line("a-----", "345", "src\\b.c") + directory_line("src\\sub") +
                              file_line("a-----", "9", "src\\sub\\c.txt") +
                              file_line("a-----", "0", "src\\sub\\Long File Name.text"));
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exit_code, 4) << "files listed, directories not counted";
}

TEST(Listing, trailing_backslash_lists_the_contents_only)
{
    TempTree tree;
    fill(tree);
    const RunResult with_backslash = run_orva({"src\\"}, tree.path());
    const RunResult with_star = run_orva({"src\\*"}, tree.path());
    EXPECT_EQ(with_backslash.out.substr(0, 6), "a-----");
    EXPECT_EQ(with_backslash.out, with_star.out);
    EXPECT_EQ(with_backslash.exit_code, 4);
}

TEST(Listing, no_source_lists_the_current_directory)
{
    TempTree tree;
    fill(tree);
    const RunResult result = run_orva({}, tree.path() + "/src/sub");
    EXPECT_EQ(result.out,
              file_line("a-----", "9", "c.txt") + file_line("a-----", "0", "Long File Name.text"));
}

TEST(Listing, short_form_modes_show_upper_case_aliases)
{
    TempTree tree;
    fill(tree);
    const std::string expected = directory_line("SRC\\SUB") + file_line("a-----", "9", "SRC\\SUB\\C.TXT") +
                                 file_line("a-----", "0", "SRC\\SUB\\LONGFI~1.TEX");
    EXPECT_EQ(run_orva({"/L0", "src\\sub"}, tree.path()).out, expected);
    EXPECT_EQ(run_orva({"/L2", "src\\sub"}, tree.path()).out, expected);
}

TEST(Listing, four_digit_years)
{
    TempTree tree;
    tree.file("f", "x");
    tree.times("f", SEPT_12, NANOS_34);
    EXPECT_EQ(run_orva({"/Y4", "f"}, tree.path()).out, file_line("a-----", "1", "f", "2008-09-12 10:11:12.34"));
}

TEST(Listing, mode_with_bit_4_shows_write_creation_and_access_columns)
{
    TempTree tree;
    tree.file("f", "x");
    const long long accessed = SEPT_12 + 86400;
    tree.times("f", SEPT_12, NANOS_34);
    const struct timespec times[2] = {{static_cast<time_t>(accessed), 0}, {static_cast<time_t>(SEPT_12), NANOS_34}};
    ASSERT_EQ(utimensat(AT_FDCWD, (tree.path() + "/f").c_str(), times, 0), 0);
    const RunResult result = run_orva({"/L5", "f"}, tree.path());
    // The creation column is the file's birth (or the earlier of write and change time):
    // check the columns around it.
    const std::string& line = result.out;
    ASSERT_GE(line.size(), 90u) << line;
    EXPECT_EQ(line.substr(0, 21), "a-----             1 ");
    EXPECT_EQ(line.substr(21, 23), "08-09-12 10:11:12.34 C:");
    EXPECT_EQ(line.substr(line.size() - 23), "08-09-13 10:11:12.00 f\n");
    EXPECT_EQ(line.substr(64, 3), " A:");
    EXPECT_EQ(run_orva({"/L7", "f"}, tree.path()).out, line);
}

TEST(Listing, hidden_read_only_and_sizes_past_4_gb)
{
    TempTree tree;
    tree.file(".hidden", "abc");
    tree.file("ro", "1");
    tree.sparse("big", 5368709120ll);
    ASSERT_EQ(chmod((tree.path() + "/ro").c_str(), 0444), 0);
    for (const char* path : {".hidden", "ro", "big"})
        tree.times(path, SEPT_12, NANOS_34);
    const RunResult result = run_orva({"*"}, tree.path());
    EXPECT_EQ(result.out, file_line("a---h-", "3", ".hidden") + file_line("a-----", "5,368,709,120", "big") +
                              file_line("a----r", "1", "ro"));
}

TEST(Listing, size_of_a_hundred_billion_bytes_widens_the_column)
{
    TempTree tree;
    tree.sparse("huge", 100000000000ll);
    tree.times("huge", SEPT_12, NANOS_34);
    EXPECT_EQ(run_orva({"huge"}, tree.path()).out, "a-----100,000,000,000 08-09-12 10:11:12.34 huge\n");
}

TEST(Listing, crc16_and_crc32_columns)
{
    TempTree tree;
    tree.file("d/nine", "123456789");
    tree.file("d/empty", "");
    for (const char* path : {"d/nine", "d/empty", "d"})
        tree.times(path, SEPT_12, NANOS_34);
    const std::string date = "08-09-12 10:11:12.34 ";
    EXPECT_EQ(run_orva({"/F", "d"}, tree.path()).out,
              "-d----" + std::string(15, ' ') + date + "     d\n" + "a-----" + std::string(13, ' ') + "0 " + date +
                  "0000 d\\empty\n" + "a-----" + std::string(13, ' ') + "9 " + date + "BB3D d\\nine\n");
    EXPECT_EQ(run_orva({"/FD", "d\\"}, tree.path()).out,
              "a-----" + std::string(13, ' ') + "0 " + date + "00000000 d\\empty\n" + "a-----" +
                  std::string(13, ' ') + "9 " + date + "cbf43926 d\\nine\n");
}

TEST(Listing, crc_start_values)
{
    TempTree tree;
    tree.file("empty", "");
    tree.file("nine", "123456789");
    tree.times("empty", SEPT_12, NANOS_34);
    const std::string prefix = "a-----" + std::string(13, ' ') + "0 08-09-12 10:11:12.34 ";
    EXPECT_EQ(run_orva({"/FI1234", "empty"}, tree.path()).out, prefix + "1234 empty\n");
    EXPECT_EQ(run_orva({"/FDIFFFFFFFF", "empty"}, tree.path()).out, prefix + "00000000 empty\n");
    const std::string standard = run_orva({"/FD", "nine"}, tree.path()).out;
    EXPECT_EQ(run_orva({"/FDIFFFFFFFF", "nine"}, tree.path()).out, standard);
    EXPECT_NE(run_orva({"/FDI0", "nine"}, tree.path()).out, standard);
}

TEST(Listing, read_test_has_no_crc_column_and_the_later_letter_decides)
{
    TempTree tree;
    tree.file("nine", "123456789");
    tree.times("nine", SEPT_12, NANOS_34);
    const std::string plain = file_line("a-----", "9", "nine");
    EXPECT_EQ(run_orva({"/FN", "nine"}, tree.path()).out, plain);
    EXPECT_EQ(run_orva({"/FDN", "nine"}, tree.path()).out, plain);
    EXPECT_NE(run_orva({"/FND", "nine"}, tree.path()).out.find(" cbf43926 nine"), std::string::npos);
}

TEST(Listing, progress_letter_adds_the_speed_column)
{
    TempTree tree;
    tree.file("d/nine", "123456789");
    tree.times("d/nine", SEPT_12, NANOS_34);
    tree.times("d", SEPT_12, NANOS_34);
    const std::string date = "08-09-12 10:11:12.34 ";
    EXPECT_EQ(run_orva({"/FP", "d"}, tree.path()).out,
              "-d----" + std::string(15, ' ') + date + "     " + std::string(12, ' ') + "d\n" + "a-----" +
                  std::string(13, ' ') + "9 " + date + "BB3D -----KB/sec d\\nine\n");
}

TEST(Listing, unreadable_file_stops_the_run_without_e_and_is_skipped_with_it)
{
    TempTree tree;
    tree.file("a", "1");
    tree.file("c", "3");
    ASSERT_EQ(symlink("missing-target", (tree.path() + "/b").c_str()), 0);
    const RunResult stopped = run_orva({"/F", "*"}, tree.path());
    EXPECT_NE(stopped.out.find("Cannot opepn file b!(2/0x2)\n"), std::string::npos) << stopped.out;
    EXPECT_EQ(stopped.out.find(" c\n"), std::string::npos) << "the run stops at the error";
    EXPECT_EQ(stopped.exit_code, 2);
    const RunResult going_on = run_orva({"/FE", "*"}, tree.path());
    EXPECT_NE(going_on.out.find(" c\n"), std::string::npos);
    EXPECT_EQ(going_on.out.find(" b\n"), std::string::npos) << "the unreadable file gets no line";
    EXPECT_EQ(going_on.exit_code, 3);
}

TEST(Listing, exit_code_counts_files_and_caps_at_254)
{
    TempTree tree;
    for (int i = 0; i < 300; i++)
        tree.file("many/f" + std::to_string(i));
    EXPECT_EQ(run_orva({"many\\"}, tree.path()).exit_code, 254);
    EXPECT_EQ(run_orva({"many\\f1*"}, tree.path()).exit_code, 111);
}

TEST(Listing, missing_directory_is_not_found_and_a_missing_name_matches_nothing)
{
    TempTree tree;
    tree.file("d/x", "1");
    const RunResult missing_directory = run_orva({"nowhere\\x.txt"}, tree.path());
    EXPECT_EQ(missing_directory.out, "Source file or directory is not found.\n");
    EXPECT_EQ(missing_directory.exit_code, 255);
    EXPECT_EQ(run_orva({"nowhere\\"}, tree.path()).exit_code, 255);
    const RunResult missing_name = run_orva({"d\\nothing"}, tree.path());
    EXPECT_EQ(missing_name.out, "");
    EXPECT_EQ(missing_name.exit_code, 0);
}

TEST(Listing, japanese_not_found_message)
{
    TempTree tree;
    const RunResult result = run_orva({"nowhere\\"}, tree.path(), {{"LANG", "ja_JP.SJIS"}});
    EXPECT_EQ(result.out, to_cp932("ソースファイルまたはディレクトリが見つかりません.\n"));
}
