// Copies that fail for real: a full disk, a file system without attributes, a file size
// limit, a directory the user may not write, a source that grows. Whatever happens, the
// source is untouched and no partial copy remains.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

#include "e2e/known_differences.h"
#include "e2e/pty_session.h"
#include "e2e/run_program.h"
#include "support/mounts.h"

// A source of a file too big for the destination followed by one that fits.
static void make_big_and_small(TempTree& tree)
{
    tree.file("src/a.big", std::string(3 << 20, 'x'));
    tree.file("src/b.small", "small");
}

// The same outcome, however the write fails: the error line after the failed copy's
// header, no partial file, the run goes on with E to the file that fits, and stops without E.
static void expect_write_failure_handled(TempTree& tree, const std::vector<std::string>& launcher,
                                         const std::string& destination, const std::string& error)
{
    const std::string before = snapshot(tree.path() + "/src");
    for (const char* option : {"/CIE", "/CI"}) {
        std::vector<std::string> arguments = launcher;
        for (const char* part : {option, "src\\", destination.c_str()})
            arguments.push_back(part);
        const RunResult result = run_words(arguments, tree.path());
        const std::string header = "create file      " + destination + "\\a.big\n";
        const bool goes_on = std::string(option) == "/CIE";
        const std::string rest = goes_on ? "\ncreate file      " + destination + "\\b.small\n" : "";
        EXPECT_EQ(result.out, header + error + rest) << destination << " " << option;
        EXPECT_EQ(result.exit_code, goes_on ? 2 : 1) << destination;
        EXPECT_FALSE(tree.exists(destination + "/a.big")) << destination << ": partial copy left";
        EXPECT_EQ(file_contents(tree.host(destination + "/b.small")), goes_on ? "small" : "<missing>") << destination;
        EXPECT_EQ(snapshot(tree.path() + "/src"), before) << destination;
        std::filesystem::remove(tree.path() + "/" + destination + "/b.small");
    }
}

// A tmpfs of 1 MB fills up; ramfs keeps no extended attributes, so a hidden file cannot be
// made there.
TEST(CopyFailureAsRoot, a_full_disk_and_a_destination_without_attributes_leave_no_partial_copy)
{
    REQUIRE_ROOT();
    const struct { const char* type; const char* options; const char* error; } mounts[] = {
        {"tmpfs", "size=1m", "Write destination file tmpfs\\a.big failed!"},
        {"ramfs", nullptr, "Change destination file ramfs\\a.big attributes failed!"},
    };
    for (const auto& m : mounts) {
        TempTree tree;
        make_big_and_small(tree);
        tree.directory(m.type);
        const ScopedMount mount(tree.host(m.type), m.type, 0, m.options);
        ASSERT_TRUE(mount.mounted()) << mount.why();
        if (m.options != nullptr) {
            expect_write_failure_handled(tree, orva_words(), m.type, m.error);
            continue;
        }
        tree.stored_bits("src/a.big", "0x22");
        if (differs(ATTRIBUTES_WITHOUT_STORE_ACCEPTED)) {
            EXPECT_EQ(run_orva({"/CI", "src\\", m.type}, tree.path()).exit_code, 2);
            continue;
        }
        expect_write_failure_handled(tree, orva_words(), m.type, m.error);
    }
}

TEST(CopyFailure, a_file_size_limit_fails_the_write_instead_of_ending_the_program)
{
    TempTree tree;
    make_big_and_small(tree);
    tree.directory("dst");
    const std::string limited = "ulimit -f 1024; exec \"$0\" \"$@\"";
    if (differs(FILE_SIZE_LIMIT_ENDS_PROGRAM)) {
        const RunResult killed = run_words(orva_words({"/bin/sh", "-c", limited}, {"/CI", "src\\", "dst"}), tree.path());
        EXPECT_EQ(killed.exit_code, 1000 + SIGXFSZ);
        return;
    }
    expect_write_failure_handled(tree, orva_words({"/bin/sh", "-c", limited}), "dst",
                                 "Write destination file dst\\a.big failed!");
}

// An owner writes in his read-only directory, as on Windows: the refusal needs a
// directory of another user.
TEST(CopyFailureAsRoot, a_directory_the_user_may_not_write_is_refused_and_left_alone)
{
    REQUIRE_ROOT();
    TempTree tree;
    make_big_and_small(tree);
    tree.directory("locked");
    const std::string before = snapshot(tree.path());
    const RunResult result = run_orva_as_user({"/CIE", "src\\", "locked"}, tree.path());
    EXPECT_EQ(result.out, "create file      locked\\a.big\nCannot open destination file locked\\a.big!(5/0x5)\n"
                          "create file      locked\\b.small\nCannot open destination file locked\\b.small!(5/0x5)\n");
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_EQ(snapshot(tree.path()), before);
}

// The prompt's answer comes with a Ctrl+S, which holds the copy after its first block,
// so that the source grows in the middle of the copy, which follows it to its new end.
TEST(CopyFailure, a_source_that_grows_during_the_copy_is_followed_to_its_end)
{
    TempTree tree;
    tree.sparse("src/grows", 4ll << 20);
    tree.directory("dst");
    PtySession s(ORVA_BINARY, {"/C", "src\\grows", "dst"}, tree.path());
    ASSERT_TRUE(s.wait_for("create file      dst\\grows <Create:Y, Skip:N, All:A, Skip All:X>? "));
    s.type("Y\x13");
    std::ofstream(tree.path() + "/src/grows", std::ios::binary | std::ios::app) << std::string(10000, 'g');
    s.type("\x11");
    EXPECT_EQ(s.wait_exit(60000), 1);
    const std::string copy = file_contents(tree.host("dst/grows"));
    EXPECT_EQ(copy.size(), (4u << 20) + 10000) << s.output();
    EXPECT_EQ(copy.substr(4u << 20), std::string(10000, 'g'));
}
