// Attribute change (/+ /-) and date change (/D) end to end: lines, effects and failures.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/known_differences.h"
#include "e2e/run_program.h"

// 2008-09-12 10:11:12 UTC, and the moment the date tests set: 2008-09-12 10:00:00 UTC.
static const long long OLD_TIME = 1221214272;
static const long long NEW_TIME = 1221213600;

class Change : public testing::Test {
protected:
    struct stat status_of(const std::string& relative) const
    {
        struct stat status = {};
        lstat(tree.host(relative).c_str(), &status);
        return status;
    }
    RunResult run(const std::vector<std::string>& arguments) { return run_orva(arguments, tree.path()); }
    TempTree tree;
};

// The line shows the attributes the entry had. Each /+ starts its own letters again, so
// /+H/+S adds S only; a listing after each step shows it.
TEST_F(Change, attributes_round_trip_through_later_listings)
{
    tree.file("f", "x");
    tree.times("f", OLD_TIME);
    expect_golden_cases("attribute_steps.txt", tree.path());
    EXPECT_EQ(mode_of(tree.host("f")), 0644);
}

// A directory is changed before the entries inside it; its read-only bit is stored, its
// permissions stay, so it still takes new files.
TEST_F(Change, read_only_reaches_every_file_and_directory_directory_first)
{
    tree.file("src/a", "1");
    tree.file("src/sub/b", "2");
    const RunResult result = run({"/+RI", "src"});
    EXPECT_EQ(result.out, "-d---- src\na----- src\\a\n-d---- src\\sub\na----- src\\sub\\b\n");
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_EQ(mode_of(tree.host("src/a")), 0444);
    EXPECT_EQ(mode_of(tree.host("src/sub/b")), 0444);
    const bool kept = !differs(READ_ONLY_DIRECTORY_NOT_KEPT);
    EXPECT_EQ(stored_bits_of(tree.host("src/sub")), kept ? "0x1" : "");
    EXPECT_EQ(mode_of(tree.host("src/sub")), 0755);
    EXPECT_EQ(run({"src\\sub"}).out.substr(0, 6), kept ? "-d---r" : "-d----");
}

// Directories get their time after their contents, so theirs survives; a read-only file
// is unlocked for it and locked again; the last access stays. The line has four year
// digits and milliseconds whatever /Y says. Without a value the date is one moment for all.
TEST_F(Change, date_is_set_everywhere_and_directories_keep_theirs)
{
    tree.file("src/a", "1");
    tree.file("src/sub/ro", "2", 0444);
    tree.times("src/a", OLD_TIME, 345678900);
    tree.times("src/sub/ro", 946684799, 999999999);
    tree.times("src/sub", OLD_TIME);
    tree.times("src", OLD_TIME + 1);
    const RunResult result = run({"/DI2008-09-12,10:00:00", "/Y2", "src"});
    EXPECT_EQ(result.out,
              "2008-09-12 10:11:12.345 src\\a\n"
              "1999-12-31 23:59:59.999 src\\sub\\ro\n"
              "2008-09-12 10:11:12.000 src\\sub\n"
              "2008-09-12 10:11:13.000 src\n");
    EXPECT_EQ(result.exit_code, 2);
    // Without a fraction the milliseconds are those of the moment the option was read.
    for (const char* entry : {"src/a", "src/sub/ro", "src/sub", "src"}) {
        EXPECT_EQ(status_of(entry).st_mtime, NEW_TIME) << entry;
        EXPECT_EQ(status_of(entry).st_mtim.tv_nsec, status_of("src/a").st_mtim.tv_nsec) << entry;
    }
    EXPECT_EQ(mode_of(tree.host("src/sub/ro")), 0444);
    EXPECT_EQ(status_of("src/a").st_atime, OLD_TIME) << "only the last write is set";
    const time_t start = time(nullptr);
    EXPECT_EQ(run({"/DI", "src"}).exit_code, 2);
    const struct timespec now = status_of("src/a").st_mtim;
    EXPECT_GE(now.tv_sec, start);
    EXPECT_LE(now.tv_sec, time(nullptr));
    for (const char* entry : {"src/sub/ro", "src/sub", "src"}) {
        EXPECT_EQ(status_of(entry).st_mtim.tv_sec, now.tv_sec) << entry;
        EXPECT_EQ(status_of(entry).st_mtim.tv_nsec, now.tv_nsec) << entry;
    }
}

// Failures stop the run at once, highlighted (nothing to see in a pipe), without a line
// end, and leave the entry as it was: a read-only one is locked again. What the system
// refuses to a user is refused on entries of another user, hence root.
TEST(ChangeAsRoot, failures_stop_the_run_and_read_only_is_put_back)
{
    REQUIRE_ROOT();
    TempTree tree;
    tree.files_at({{"s/a", "a"}, {"s/b", "b"}}, OLD_TIME);
    tree.directory("s/d", 0777);
    tree.stored_bits("s/d", "0x1");
    tree.times("s/d", OLD_TIME);
    const std::string before = snapshot(tree.host("s"));
    const struct { std::vector<std::string> arguments; std::string out; } cases[] = {
        // Nothing would change, and still the system is asked, and refuses.
        {{"/+AI", "s\\"}, "a----- s\\a\nChange file s\\a attributes failed!"},
        {{"/DI2008-09-12,10:00:00", "s\\"}, "2008-09-12 10:11:12.000 s\\a\nCannot open file s\\a!(5/0x5)"},
        // A writer that does not own the directory may not set its time.
        {{"/DI2008-09-12,10:00:00", "s\\d"}, "2008-09-12 10:11:12.000 s\\d\nChange file s\\d date failed!"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run_orva_as_user(c.arguments, tree.path()).out, c.out) << c.arguments[0];
        EXPECT_EQ(snapshot(tree.host("s")), before) << c.arguments[0] << ": read-only put back, nothing else changed";
    }
}
