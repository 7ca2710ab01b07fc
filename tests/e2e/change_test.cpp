// Attribute change (/+ /-) and date change (/D) end to end: lines, effects, failures and
// the answers at the prompt.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/pty_session.h"
#include "e2e/known_differences.h"
#include "e2e/run_program.h"
#include "support/mounts.h"

static const std::string PROMPT = " <Update:Y, Skip:N, All:A, Skip All:X>? ";
// 2008-09-12 10:11:12 UTC, and the moment the date tests set: 2008-09-12 10:00:00 UTC.
static const long long OLD_TIME = 1221214272;
static const long long NEW_TIME = 1221213600;

class Change : public testing::Test {
protected:
    std::string host(const std::string& relative) const { return tree.path() + "/" + relative; }
    struct stat status_of(const std::string& relative) const
    {
        struct stat status = {};
        lstat(host(relative).c_str(), &status);
        return status;
    }
    unsigned mode_of(const std::string& relative) const { return status_of(relative).st_mode & 07777; }
    long long mtime_of(const std::string& relative) const { return status_of(relative).st_mtime; }
    std::string stored(const std::string& relative) const
    {
        char value[64];
        const ssize_t length = getxattr(host(relative).c_str(), "user.DOSATTRIB", value, sizeof value);
        return length < 0 ? "" : std::string(value, static_cast<size_t>(length));
    }
    bool store(const std::string& relative, const std::string& value)
    {
        return setxattr(host(relative).c_str(), "user.DOSATTRIB", value.data(), value.size(), 0) == 0;
    }
    // The attribute column of the entry in a listing of its own.
    std::string listed_attributes(const std::string& windows_path)
    {
        return run_orva({windows_path}, tree.path()).out.substr(0, 6);
    }
    RunResult run(const std::vector<std::string>& arguments) { return run_orva(arguments, tree.path()); }
    RunResult run_as_nobody(const std::vector<std::string>& arguments) { return run_orva_as_user(arguments, tree.path()); }
    TempTree tree;
};

TEST_F(Change, attributes_line_and_effect_on_a_file)
{
    tree.file("f", "x");
    const RunResult result = run({"/+R/-AI", "f"});
    EXPECT_EQ(result.out, "a----- f\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(mode_of("f"), 0444u);
    EXPECT_EQ(listed_attributes("f"), file_attributes("-----r"));
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
    EXPECT_EQ(mode_of("src/a"), 0444u);
    EXPECT_EQ(mode_of("src/sub/b"), 0444u);
    const bool kept = !differs(READ_ONLY_DIRECTORY_NOT_KEPT);
    EXPECT_EQ(stored("src/sub"), kept ? "0x1" : "");
    EXPECT_EQ(mode_of("src/sub"), 0755u);
    EXPECT_EQ(listed_attributes("src\\sub"), kept ? "-d---r" : "-d----");
}

// Each /+ starts its own letters again, so /+H/+S adds S only; a later listing shows
// every step.
TEST_F(Change, hidden_and_system_round_trip_through_later_listings)
{
    tree.file("f", "x");
    if (!store("f", "0x20"))
        GTEST_SKIP() << "no user extended attributes under /tmp";
    const struct {
        const char* option;
        const char* shown;
    } steps[] = {
        {"/+HSI", "a--sh-"},
        {"/+H/+S/-HI", "a--s--"},
        {"/-SAI", "------"},
        {"/+AI", "a-----"},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(run({step.option, "f"}).exit_code, 1) << step.option;
        EXPECT_EQ(listed_attributes("f"), file_attributes(step.shown)) << step.option;
    }
}

TEST_F(Change, short_path_form_is_shown_and_changed)
{
    tree.file("src/Long Name.txt", "x");
    const RunResult result = run({"/+RI", "/L0", "src"});
    EXPECT_EQ(aliases_blurred(result.out), aliases_blurred("-d---- SRC\na----- SRC\\LONGNA~1.TXT\n"));
    EXPECT_EQ(mode_of("src/Long Name.txt"), 0444u);
}

// What the pattern or /O refuses is never touched, for both changes.
TEST_F(Change, refused_entries_are_never_changed)
{
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"/+RHI", "/O='skip'", "src\\*.txt"},
             {"/DI2008-09-12,10:00:00", "/O='skip'", "src\\*.txt"},
         }) {
        tree.file("src/take.txt", "t");
        tree.file("src/other.log", "o");
        tree.file("src/skip/inside.txt", "i");
        tree.times("src/take.txt", OLD_TIME);
        tree.times("src/other.log", OLD_TIME);
        tree.times("src/skip/inside.txt", OLD_TIME);
        tree.times("src/skip", OLD_TIME);
        const auto refused_part = [this] {
            std::string lines;
            for (const char* part : {"/other.log ", "/skip"}) {
                const std::string all = snapshot(host("src"));
                for (size_t at = all.find(part); at != std::string::npos; at = all.find(part, at + 1))
                    lines += all.substr(at, all.find('\n', at) - at + 1);
            }
            return lines;
        };
        const std::string before = refused_part();
        const RunResult result = run(arguments);
        EXPECT_EQ(result.exit_code, 1) << arguments[0] << result.out;
        EXPECT_NE(result.out.find("src\\take.txt\n"), std::string::npos) << result.out;
        EXPECT_EQ(result.out.find("other"), std::string::npos) << result.out;
        EXPECT_EQ(result.out.find("skip"), std::string::npos) << result.out;
        EXPECT_EQ(refused_part(), before) << arguments[0];
        std::filesystem::remove_all(host("src"));
    }
}

// Directories get their time after their contents, so theirs survives; a read-only file
// is unlocked for it and locked again; the last access stays. The line has four year
// digits and milliseconds whatever /Y says.
TEST_F(Change, date_is_set_everywhere_and_directories_keep_theirs)
{
    tree.file("src/a", "1");
    tree.file("src/sub/ro", "2");
    chmod(host("src/sub/ro").c_str(), 0444);
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
        EXPECT_EQ(mtime_of(entry), NEW_TIME) << entry;
        EXPECT_EQ(status_of(entry).st_mtim.tv_nsec, status_of("src/a").st_mtim.tv_nsec) << entry;
    }
    EXPECT_EQ(mode_of("src/sub/ro"), 0444u);
    EXPECT_EQ(status_of("src/a").st_atime, OLD_TIME) << "only the last write is set";
    const std::string listed = "a-----" + std::string(13, ' ') + "1 08-09-12 10:00:00.";
    EXPECT_EQ(run({"src\\a"}).out.substr(0, listed.size()), listed);
}

TEST_F(Change, date_without_a_value_is_one_moment_for_every_entry)
{
    tree.file("src/a", "1");
    tree.file("src/sub/b", "2");
    for (const char* entry : {"src/a", "src/sub/b", "src/sub", "src"})
        tree.times(entry, OLD_TIME);
    const time_t start = time(nullptr);
    const RunResult result = run({"/DI", "src"});
    EXPECT_EQ(result.exit_code, 2) << result.out;
    const struct timespec first = status_of("src/a").st_mtim;
    EXPECT_GE(first.tv_sec, start);
    EXPECT_LE(first.tv_sec, time(nullptr));
    for (const char* entry : {"src/sub/b", "src/sub", "src"}) {
        EXPECT_EQ(status_of(entry).st_mtim.tv_sec, first.tv_sec) << entry;
        EXPECT_EQ(status_of(entry).st_mtim.tv_nsec, first.tv_nsec) << entry;
    }
}

// Failures stop the run at once, highlighted (nothing to see in a pipe), without a line
// end; read-only is put back after a failed date change.
TEST_F(Change, failures_stop_the_run_and_read_only_is_put_back)
{
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        bool as_nobody;
        std::string out;
    };
    const std::vector<Case> cases = {
        // Nothing would change, and still the system is asked, and refuses.
        {"attributes refused", {"/+AI", "s\\"}, true, "a----- s\\a\nChange file s\\a attributes failed!"},
        {"open refused", {"/DI2008-09-12,10:00:00", "s\\"}, true,
         "2008-09-12 10:11:12.000 s\\a\nCannot open file s\\a!(5/0x5)"},
        // A writer that does not own the directory may not set its time.
        {"date refused", {"/DI2008-09-12,10:00:00", "s\\d"}, true,
         "2008-09-12 10:11:12.000 s\\d\nChange file s\\d date failed!"},
        {"fifo never opened", {"/DI2008-09-12,10:00:00", "s\\fifo"}, false,
         "2008-09-12 10:11:12.000 s\\fifo\nCannot open file s\\fifo!(5/0x5)"},
    };
    for (const Case& c : cases) {
        tree.file("s/a", "a");
        tree.file("s/b", "b");
        tree.directory("s/d");
        chmod(host("s/d").c_str(), 0777);
        ASSERT_EQ(mkfifo(host("s/fifo").c_str(), 0444), 0);
        for (const char* entry : {"s/a", "s/b", "s/d", "s/fifo"})
            tree.times(entry, OLD_TIME);
        if (!store("s/d", "0x1"))
            GTEST_SKIP() << "no user extended attributes under /tmp";
        const std::string before = snapshot(host("s"));
        const RunResult result = c.as_nobody ? run_as_nobody(c.arguments) : run(c.arguments);
        if (c.arguments[1] == "s\\fifo" && differs(SPECIAL_FILES_OPENED)) {
            EXPECT_EQ(result.out, "2008-09-12 10:11:12.000 s\\fifo\n");
            EXPECT_EQ(mtime_of("s/fifo"), NEW_TIME);
        } else {
            EXPECT_EQ(result.out, c.out) << c.name;
            EXPECT_EQ(snapshot(host("s")), before) << c.name << ": read-only put back, nothing else changed";
        }
        std::filesystem::remove_all(host("s"));
    }
}

TEST_F(Change, hidden_on_a_file_system_without_extended_attributes_fails)
{
    tree.file("keep", "");
    tree.directory("ram");
    ScopedMount mount(host("ram"), "ramfs", 0, nullptr);
    if (!mount.mounted())
        GTEST_SKIP() << mount.why();
    tree.file("ram/f", "f");
    tree.file("ram/g", "g");
    const std::string before = snapshot(host("ram"));
    const RunResult result = run({"/+HI", "ram\\"});
    const bool accepted = differs(ATTRIBUTES_WITHOUT_STORE_ACCEPTED);
    EXPECT_EQ(result.out, accepted ? "a----- ram\\f\na----- ram\\g\n" : "a----- ram\\f\nChange file ram\\f attributes failed!");
    EXPECT_EQ(result.exit_code, accepted ? 2 : 1);
    EXPECT_EQ(snapshot(host("ram")), before);
}

// The entry vanishes while its prompt waits.
TEST_F(Change, vanished_entry_is_reported_when_the_prompt_is_answered)
{
    struct Case {
        const char* option;
        std::string message;
    };
    for (const Case& c : std::vector<Case>{
             {"/+R", "Change file s\\a attributes failed!"},
             {"/D2008-09-12,10:00:00", "Cannot open file s\\a!(2/0x2)"},
         }) {
        tree.file("s/a", "a");
        tree.file("s/b", "b");
        tree.times("s/b", OLD_TIME);
        PtySession s(ORVA_BINARY, {c.option, "s\\"}, tree.path());
        ASSERT_TRUE(s.wait_for("s\\a" + PROMPT)) << s.output();
        std::filesystem::remove(host("s/a"));
        s.type("y");
        EXPECT_EQ(s.wait_exit(), 1) << c.option;
        EXPECT_NE(s.output().find(PROMPT + "y\r\n\x1b[7m" + c.message + "\x1b[0m"), std::string::npos) << s.output();
        EXPECT_EQ(s.output().find("s\\b"), std::string::npos) << "the run stopped";
        EXPECT_EQ(mode_of("s/b"), 0644u);
        EXPECT_EQ(mtime_of("s/b"), OLD_TIME);
        std::filesystem::remove_all(host("s"));
    }
}

// N leaves the entry and goes on, A changes the rest, X leaves the rest without asking,
// ESC stops at once.
TEST_F(Change, answers_at_the_prompt)
{
    struct Answers {
        std::string keys;          // one per prompt shown
        std::vector<bool> changed; // a, b, c
        int exit_code;
    };
    const std::vector<Answers> answers = {
        {"na", {false, true, true}, 3},
        {"yx", {true, false, false}, 3},
        {"\x1b", {false, false, false}, 1},
    };
    for (const char* option : {"/+R", "/D2008-09-12,10:00:00"}) {
        for (const Answers& a : answers) {
            for (const char* name : {"s/a", "s/b", "s/c"}) {
                tree.file(name, "x");
                tree.times(name, OLD_TIME);
            }
            PtySession s(ORVA_BINARY, {option, "s\\"}, tree.path());
            for (size_t i = 0; i < a.keys.size(); i++) {
                ASSERT_TRUE(s.wait_for(std::string("s\\") + "ab"[i] + PROMPT)) << s.output();
                s.type(a.keys.substr(i, 1));
            }
            EXPECT_EQ(s.wait_exit(), a.exit_code) << option << " " << a.keys;
            int prompts = 0;
            for (size_t at = s.output().find(PROMPT); at != std::string::npos; at = s.output().find(PROMPT, at + 1))
                prompts++;
            EXPECT_EQ(prompts, static_cast<int>(a.keys.size())) << option << " " << a.keys << s.output();
            const char* names[] = {"s/a", "s/b", "s/c"};
            for (int i = 0; i < 3; i++) {
                const bool changed = std::string(option) == "/+R" ? mode_of(names[i]) == 0444u
                                                                  : mtime_of(names[i]) == NEW_TIME;
                EXPECT_EQ(changed, a.changed[i]) << option << " " << a.keys << " " << names[i];
            }
            if (a.keys == "\x1b") {
                EXPECT_EQ(s.output().find("s\\b"), std::string::npos) << s.output();
            }
            std::filesystem::remove_all(host("s"));
        }
    }
}
