// Verify end to end: property comparisons, display modes, errors, beeps. (Contents and
// their agreement are the random trees' to check.)
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "e2e/pty_session.h"
#include "e2e/known_differences.h"
#include "e2e/run_program.h"

// 2008-09-12 10:11:12 UTC.
static const long long SEPT_12 = 1221214272;

static std::string file_line(const std::string& path, const std::string& outcome)
{
    return "Verify file      " + path + " " + outcome + "\n";
}

// How the destination counterpart of the one source entry f differs.
enum Counterpart { SAME_KIND, MISSING, SOURCE_IS_DIRECTORY, HIDDEN_DIRECTORY, READ_ONLY, NO_ARCHIVE };

// The outcomes the random trees never meet: properties, dates both ways, their tolerance.
TEST(Verify, each_outcome_has_its_line_and_only_agreement_counts)
{
    struct Case {
        const char* options;
        const char* source;
        const char* destination;
        long destination_delay_ms;
        Counterpart counterpart;
        const char* line;  // the whole output, dest path dst\f
        // Where the archive bit cannot be taken away, what is left of the discord.
        const char* line_with_archive = nullptr;
    };
    const Case cases[] = {
        {"/V", "abc", "", 0, MISSING, "Verify file      dst\\f is not found.\n"},
        {"/V", "", "abc", 0, SOURCE_IS_DIRECTORY, "Verify directory dst\\f is not found.\n"},
        {"/VN", "", "", 0, HIDDEN_DIRECTORY, "Verify directory dst\\f attrib:--h- are different.\n"},
        {"/VNA", "", "", 0, HIDDEN_DIRECTORY, "Verify directory dst\\f attribute is same.\n"},
        {"/V", "abc", "abd", 0, SAME_KIND, "Verify file      dst\\f is different.\n"},
        {"/V", "abc", "abcd", 0, SAME_KIND, "Verify file      dst\\f is different.\n"},
        // Contents are compared only in content mode; times only in property mode.
        {"/V", "abc", "abc", 5000, NO_ARCHIVE, "Verify file      dst\\f is same.\n"},
        {"/VL", "abc", "abd", 0, SAME_KIND, "Verify file      dst\\f is same.\n"},
        {"/VL", "abc", "ab", 0, SAME_KIND, "Verify file      dst\\f size, are different.\n"},
        {"/VN", "abc", "abc", 0, NO_ARCHIVE, "Verify file      dst\\f attrib:a--- are different.\n",
         "Verify file      dst\\f is same.\n"},
        {"/VNV", "abc", "abc", 0, NO_ARCHIVE, "Verify file      dst\\f attrib:a--- are different.\n", ""},
        {"/VN", "abc", "abc", 0, READ_ONLY, "Verify file      dst\\f attrib:---r are different.\n"},
        {"/VHS", "abc", "abc", 0, NO_ARCHIVE, "Verify file      dst\\f is same.\n"},
        {"/VN", "abc", "ab", 3000, NO_ARCHIVE, "Verify file      dst\\f size,date,attrib:a--- are different.\n",
         "Verify file      dst\\f size,date, are different.\n"},
        {"/VAD", "abc", "ab", 0, READ_ONLY, "Verify file      dst\\f is same.\n"},
        {"/VD", "abc", "abc", 1500, SAME_KIND, "Verify file      dst\\f date, are different.\n"},
        {"/VD", "abc", "abc", -1500, SAME_KIND, "Verify file      dst\\f date, are different.\n"},
        {"/VD2", "abc", "abc", 1500, SAME_KIND, "Verify file      dst\\f is same.\n"},
        {"/VD2", "abc", "abc", -1500, SAME_KIND, "Verify file      dst\\f is same.\n"},
        {"/VD2", "abc", "abc", 2000, SAME_KIND, "Verify file      dst\\f date, are different.\n"},
        // With /P the header stands at once and the final figure precedes the outcome.
        {"/VPV", "abc", "abc", 0, SAME_KIND, "Verify file      dst\\f (100%,-----KB/sec) is same.\n"},
        {"/VP", "abc", "abd", 0, SAME_KIND, "Verify file      dst\\f (100%,-----KB/sec) is different.\n"},
    };
    for (const Case& c : cases) {
        const std::string label = std::string(c.options) + " case " + std::to_string(&c - cases);
        TempTree tree;
        tree.directory("dst");
        if (c.counterpart == SOURCE_IS_DIRECTORY || c.counterpart == HIDDEN_DIRECTORY)
            tree.directory("src/f");
        else
            tree.file("src/f", c.source);
        tree.times("src/f", SEPT_12);
        if (c.counterpart == HIDDEN_DIRECTORY) {
            tree.directory("dst/f");
            tree.stored_bits("dst/f", "0x2");
        } else if (c.counterpart != MISSING) {
            tree.file("dst/f", c.destination, c.counterpart == READ_ONLY ? 0444 : 0644);
            const long long ms = SEPT_12 * 1000 + c.destination_delay_ms;
            tree.times("dst/f", ms / 1000, static_cast<long>(ms % 1000) * 1000000);
        }
        if (c.counterpart == NO_ARCHIVE)
            tree.stored_bits("dst/f", "0x0");
        const RunResult result = run_orva({c.options, "src\\f", "dst"}, tree.path());
        const bool archive_kept = c.line_with_archive != nullptr && differs(ARCHIVE_ALWAYS_ON);
        const std::string line = archive_kept ? c.line_with_archive : c.line;
        EXPECT_EQ(result.out, line) << label;
        // Only files that agree count.
        const bool agrees = line.empty() || line.ends_with(" same.\n");
        EXPECT_EQ(result.exit_code, agrees && tree.exists("dst/f") && !line.starts_with("Verify directory") ? 1 : 0) << label;
    }
}

TEST(Verify, unopenable_destination_stops_the_run_unless_errors_are_passed_over)
{
    TempTree tree;
    tree.file("src/a", "");
    tree.file("src/b", "b");
    tree.file("dst/b", "b");
    // A FIFO is listed as an empty file that cannot be opened.
    ASSERT_EQ(mkfifo((tree.path() + "/dst/a").c_str(), 0644), 0);
    if (differs(SPECIAL_FILES_OPENED)) {
        const RunResult wine = run_orva({"/VE", "src\\", "dst"}, tree.path());
        EXPECT_EQ(wine.out, file_line("dst\\a", "is same.") + file_line("dst\\b", "is same.")) << "the FIFO read as empty";
        EXPECT_EQ(wine.exit_code, 2);
        return;
    }
    const std::string error = "Verify file      dst\\a \nCannot open destination file dst\\a!(5/0x5)";
    const RunResult stopped = run_orva({"/VV", "src\\", "dst"}, tree.path());
    EXPECT_EQ(stopped.out, error);
    EXPECT_EQ(stopped.exit_code, 0);
    const RunResult going_on = run_orva({"/VE", "src\\", "dst"}, tree.path());
    EXPECT_EQ(going_on.out, error + "\n" + file_line("dst\\b", "is same."));
    EXPECT_EQ(going_on.exit_code, 1);
}

TEST(Verify, beeps_follow_each_discord_line_on_the_terminal)
{
    TempTree tree;
    for (const char* name : {"src/a", "src/b", "src/c", "dst/b"})
        tree.file(name, "x");
    PtySession session(ORVA_BINARY, {"/V", "/Q2", "src\\", "dst"}, tree.path());
    EXPECT_EQ(session.wait_exit(), 1);
    const std::string missing = "\x1b[7mis not found.\x1b[0m\r\n\a\a";
    EXPECT_EQ(session.output(), "Verify file      dst\\a " + missing + "Verify file      dst\\b is same.\r\n" +
                                    "Verify file      dst\\c " + missing + "\x1b[0m")
        << "the colours are restored at the end";
}
