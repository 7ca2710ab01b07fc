// An ordinary user's own files: read-only files and directories, a source the user may
// not read, a source that goes while the prompt waits, a copy killed halfway, stored
// attributes. The owner can do all that root can, and an old copy is never lost before
// its replacement is whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/pty_session.h"
#include "e2e/run_program.h"

TEST(LinuxOwnFiles, an_unreadable_source_leaves_the_old_copy_in_place)
{
    TempTree tree;
    tree.file("src/secret.txt", "new secret", 0);
    tree.file("dst/src/secret.txt", "old secret");
    tree.times("dst/src/secret.txt", 1000000000);
    tree.give_to_user();
    const std::string refused = "update file      dst\\src\\secret.txt\nCannot open source file src\\secret.txt!(5/0x5)";
    for (const char* letters : {"/CIE", "/UIE", "/CIRE", "/CIVE", "/CI"}) {
        const std::string before = snapshot(tree.path());
        const RunResult result = run_orva_as_user({letters, "src", "dst"}, tree.path());
        EXPECT_EQ(result.out, refused + (std::string(letters).ends_with("E") ? "\n" : "")) << letters;
        EXPECT_EQ(snapshot(tree.path()), before) << letters;
    }
}

// The source goes while the prompt waits: the old copy stays, for a copy and for a move.
TEST(LinuxOwnFiles, a_source_gone_while_the_prompt_waits_leaves_the_old_copy_in_place)
{
    const struct { const char* letters; const char* error; } cases[] = {
        {"/CE", "Cannot open source file src\\a.txt!(2/0x2)"},
        {"/CME", "Move file src\\a.txt to dst\\src\\a.txt failed!"},
    };
    for (const auto& c : cases) {
        TempTree tree;
        tree.file("src/a.txt", "new");
        tree.file("dst/src/a.txt", "old");
        tree.times("dst/src/a.txt", 1000000000);
        tree.give_to_user();
        const std::vector<std::string> words = orva_words_as_user({c.letters, "src", "dst"});
        PtySession s(words[0], {words.begin() + 1, words.end()}, tree.path());
        ASSERT_TRUE(s.wait_for("<Update:Y, Skip:N, All:A, Skip All:X>? ")) << c.letters << s.output();
        std::filesystem::remove(tree.host("src/a.txt"));
        s.type("y");
        s.wait_exit();
        EXPECT_NE(s.output().find(c.error), std::string::npos) << c.letters << s.output();
        EXPECT_EQ(file_contents(tree.host("dst/src/a.txt")), "old") << c.letters;
    }
}

// Linux lets only root write the stored bits of a file without write permission, and
// write in a directory without write permission; the owner of a read-only file or
// directory gets what root gets. A move empties and removes read-only directories.
TEST(LinuxOwnFiles, read_only_files_and_directories_are_deleted_replaced_moved_and_changed_by_their_owner)
{
    const struct {
        std::vector<std::string> arguments;
        std::vector<std::pair<std::string, std::string>> contents;  // path, contents ("<missing>" for gone)
        std::vector<std::pair<std::string, int>> modes;
        std::vector<std::pair<std::string, std::string>> stored;
        const char* out;  // the whole output, or nullptr for any without a failure
    } cases[] = {
        {{"/RI", "ro"}, {{"ro", "<missing>"}}, {}, {}, nullptr},
        {{"/CI", "src", "dst"}, {{"dst/src/f", "new"}}, {{"dst/src/f", 0644}}, {}, nullptr},
        {{"/CMI", "src", "dst"}, {{"dst/src/f", "new"}, {"dst/src/locked/new", "new"}, {"src", "<missing>"}},
         {{"dst/src/locked", 0555}}, {}, nullptr},
        {{"/UI", "src", "dst"}, {{"dst/src/f", "old"}, {"dst/src/locked/new", "new"}}, {{"dst/src/locked", 0555}}, {},
         "create file      dst\\src\\locked\\new\n"},
        {{"/CIR", "ro", "bak"}, {{"bak/ro/f", "ro"}, {"ro/f", "<missing>"}}, {{"bak/ro/f", 0444}}, {}, nullptr},
        {{"/-AI", "ro"}, {}, {{"ro/f", 0444}}, {{"ro/f", "0x0"}}, nullptr},
        {{"/-RHI", "hidden"}, {}, {{"hidden/f", 0644}}, {{"hidden/f", "0x20"}}, nullptr},
        {{"/+HI", "ro"}, {}, {{"ro/f", 0444}}, {{"ro/f", "0x22"}}, nullptr},
        {{"/CI", "hidden", "bak"}, {{"bak/hidden/f", "hidden"}}, {{"bak/hidden/f", 0444}}, {{"bak/hidden/f", "0x22"}}, nullptr},
        {{"/RI", "checkout"}, {{"checkout", "<missing>"}}, {}, {}, nullptr},
    };
    for (const auto& c : cases) {
        TempTree tree;
        tree.files_at({{"src/f", "new"}, {"dst/src/f", "old"}, {"src/locked/b", "b"}, {"dst/src/locked/b", "b"},
                       {"src/locked/new", "new"}},
                      1000000000);
        tree.mode("dst/src/f", 0444);
        tree.mode("src/locked", 0555);
        tree.mode("dst/src/locked", 0555);
        tree.file("ro/f", "ro", 0444);
        tree.file("hidden/f", "hidden");
        tree.stored_bits("hidden/f", "0x22");
        tree.mode("hidden/f", 0444);
        tree.file("checkout/.git/objects/ab/cdef", "object", 0444);
        tree.file("checkout/.git/packed-refs", "refs", 0444);
        tree.file("checkout/docs/readme", "text");
        tree.mode("checkout/docs", 0555);
        tree.give_to_user();
        const RunResult result = run_orva_as_user(c.arguments, tree.path());
        const std::string where = c.arguments[0] + " " + c.arguments[1] + "\n" + result.out;
        if (c.out != nullptr) {
            EXPECT_EQ(result.out, c.out) << where;
        }
        EXPECT_EQ(result.out.find('!'), std::string::npos) << where;
        for (const auto& [path, contents] : c.contents) {
            if (contents == "<missing>") {
                EXPECT_EQ(mode_of(tree.host(path)), -1) << path << " stays: " << where;
            } else {
                EXPECT_EQ(file_contents(tree.host(path)), contents) << path << ": " << where;
            }
        }
        for (const auto& [path, mode] : c.modes)
            EXPECT_EQ(mode_of(tree.host(path)), mode) << path << ": " << where;
        for (const auto& [path, bits] : c.stored)
            EXPECT_EQ(stored_bits_of(tree.host(path)), bits) << path << ": " << where;
    }
}

// Held at Ctrl+S after its first block, the copy is killed: nothing may stand under the
// name, or an update would keep it for its newer time and verify would not look again.
TEST(LinuxCopies, a_copy_killed_mid_file_leaves_nothing_under_its_name)
{
    TempTree tree;
    tree.file("src/big", std::string(1 << 20, 'x'));
    tree.times("src/big", 1000000000);
    tree.give_to_user();
    const std::string before = snapshot(tree.path() + "/src");
    {
        const std::vector<std::string> words = orva_words_as_user({"/C", "src", "dst"});
        PtySession s(words[0], {words.begin() + 1, words.end()}, tree.path());
        ASSERT_TRUE(s.wait_for("create file      dst\\src\\big <Create:Y, Skip:N, All:A, Skip All:X>? ")) << s.output();
        s.type("Y\x13");
        // The first block is written, and the run holds before the next.
        ASSERT_TRUE(s.wait_written(65536)) << s.output();
        ASSERT_TRUE(s.running());
    }
    EXPECT_TRUE(std::filesystem::is_empty(tree.path() + "/dst/src"));
    EXPECT_EQ(run_orva_as_user({"/UI", "src", "dst"}, tree.path()).exit_code, 1);
    EXPECT_EQ(run_orva_as_user({"/V", "src", "dst"}, tree.path()).exit_code, 1);
    EXPECT_EQ(snapshot(tree.path() + "/src"), before);
    EXPECT_EQ(snapshot(tree.path() + "/dst/src"), before);
}

// Runs that show no attributes (sizes, commands, verify by contents) leave the stored bits
// of files unread, unless a filter names attributes.
TEST(LinuxOwnFiles, filters_on_stored_bits_hold_in_runs_that_show_none)
{
    TempTree tree;
    tree.file("src/hidden.txt", "12345");
    tree.stored_bits("src/hidden.txt", "0x2");
    tree.file("src/plain.txt", "123");
    tree.give_to_user();
    EXPECT_EQ(run_orva_as_user({"/ST", "src"}, tree.path()).exit_code, 8);
    EXPECT_EQ(run_orva_as_user({"/ST", "/&H", "src"}, tree.path()).exit_code, 5);
    EXPECT_EQ(run_orva_as_user({"/ST", "/!H", "src"}, tree.path()).exit_code, 3);
    const RunResult commands = run_orva_as_user({"/XI:|echo [$f]|", "/:H", "src"}, tree.path());
    EXPECT_NE(commands.out.find("[hidden]"), std::string::npos) << commands.out;
    EXPECT_EQ(commands.out.find("[plain]"), std::string::npos) << commands.out;
}
