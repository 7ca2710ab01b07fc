// An ordinary user's own files: read-only files and directories, a source the user may
// not read, a source that goes while the prompt waits. The owner can do all that root
// can, and an old copy is never deleted before its replacement can be made.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/pty_session.h"
#include "e2e/run_program.h"

namespace {

// The lines of a snapshot that describe files: a move makes new directories.
std::string files_of(const std::string& snapshot_text)
{
    std::string files;
    for (size_t start = 0, end; start < snapshot_text.size(); start = end + 1) {
        end = snapshot_text.find('\n', start);
        const std::string line = snapshot_text.substr(start, end - start);
        if (line.find(" 100") != std::string::npos)
            files += line + "\n";
    }
    return files;
}

class LinuxOwnFiles : public ::testing::Test {
protected:
    std::string host(const std::string& relative) const { return tree.path() + "/" + relative; }
    RunResult run(const std::vector<std::string>& arguments) { return run_orva_as_user(arguments, tree.path()); }
    TempTree tree;
};

}  // namespace

// The backup stays when its source cannot be read.
TEST_F(LinuxOwnFiles, an_unreadable_source_leaves_the_old_copy_in_place)
{
    tree.file("src/secret.txt", "new secret");
    tree.file("dst/src/secret.txt", "old secret");
    tree.times("dst/src/secret.txt", 1000000000);
    tree.mode("src/secret.txt", 0);
    tree.give_to_user();
    const std::string header = "update file      dst\\src\\secret.txt";
    const std::string refused = "\nCannot open source file src\\secret.txt!(5/0x5)";
    for (const char* letters : {"/CIE", "/UIE", "/CIRE", "/CIVE", "/CI"}) {
        const std::string before = snapshot(tree.path());
        const RunResult result = run({letters, "src", "dst"});
        const bool goes_on = std::string(letters).back() == 'E';
        EXPECT_EQ(result.out, header + refused + (goes_on ? "\n" : "")) << letters;
        EXPECT_EQ(snapshot(tree.path()), before) << letters;
    }
}

// The source goes while the prompt waits: the old copy stays, for a copy and for a move.
TEST_F(LinuxOwnFiles, a_source_gone_while_the_prompt_waits_leaves_the_old_copy_in_place)
{
    const struct { const char* letters; const char* error; } cases[] = {
        {"/CE", "Cannot open source file src\\a.txt!(2/0x2)"},
        {"/CME", "Move file src\\a.txt to dst\\src\\a.txt failed!"},
    };
    for (const auto& c : cases) {
        tree.file("src/a.txt", "new");
        tree.file("dst/src/a.txt", "old");
        tree.times("dst/src/a.txt", 1000000000);
        tree.give_to_user();
        const std::vector<std::string> words = orva_words_as_user({c.letters, "src", "dst"});
        PtySession s(words[0], {words.begin() + 1, words.end()}, tree.path());
        ASSERT_TRUE(s.wait_for("<Update:Y, Skip:N, All:A, Skip All:X>? ")) << c.letters << s.output();
        std::filesystem::remove(host("src/a.txt"));
        s.type("y");
        s.wait_exit();
        EXPECT_NE(s.output().find(c.error), std::string::npos) << c.letters << s.output();
        EXPECT_EQ(file_contents(host("dst/src/a.txt")), "old") << c.letters;
    }
}

// Linux lets only root write the stored bits of a file without write permission; the
// owner of a read-only file gets what root gets.
TEST_F(LinuxOwnFiles, read_only_files_are_deleted_replaced_moved_and_changed_by_their_owner)
{
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        std::vector<std::pair<std::string, std::string>> contents;  // path, contents ("<missing>" for gone)
        std::vector<std::pair<std::string, int>> modes;
        std::vector<std::pair<std::string, std::string>> stored;
    } cases[] = {
        {"delete", {"/RI", "ro"}, {{"ro/f", "<missing>"}, {"ro", "<missing>"}}, {}, {}},
        {"replace a read-only copy", {"/CI", "src", "dst"}, {{"dst/src/f", "new"}}, {{"dst/src/f", 0644}}, {}},
        {"move over a read-only copy", {"/CMI", "src", "dst"}, {{"dst/src/f", "new"}, {"src/f", "<missing>"}}, {}, {}},
        {"copy and delete a read-only source", {"/CIR", "ro", "bak"}, {{"bak/ro/f", "ro"}, {"ro/f", "<missing>"}},
         {{"bak/ro/f", 0444}}, {}},
        {"clear the archive bit", {"/-AI", "ro"}, {}, {{"ro/f", 0444}}, {{"ro/f", "0x0"}}},
        {"clear read-only and hidden", {"/-RHI", "hidden"}, {}, {{"hidden/f", 0644}}, {{"hidden/f", "0x20"}}},
        {"set hidden", {"/+HI", "ro"}, {}, {{"ro/f", 0444}}, {{"ro/f", "0x22"}}},
        {"copy a read-only hidden file", {"/CI", "hidden", "bak"}, {{"bak/hidden/f", "hidden"}},
         {{"bak/hidden/f", 0444}}, {{"bak/hidden/f", "0x22"}}},
        {"delete a checkout", {"/RI", "checkout"}, {{"checkout", "<missing>"}}, {}, {}},
    };
    for (const auto& c : cases) {
        TempTree fresh;
        fresh.file("ro/f", "ro");
        fresh.mode("ro/f", 0444);
        fresh.file("hidden/f", "hidden");
        fresh.stored_bits("hidden/f", "0x22");
        fresh.mode("hidden/f", 0444);
        fresh.file("src/f", "new");
        fresh.file("dst/src/f", "old");
        fresh.mode("dst/src/f", 0444);
        fresh.file("checkout/.git/objects/ab/cdef", "object");
        fresh.mode("checkout/.git/objects/ab/cdef", 0444);
        fresh.file("checkout/.git/packed-refs", "refs");
        fresh.mode("checkout/.git/packed-refs", 0444);
        fresh.file("checkout/docs/readme", "text");
        fresh.mode("checkout/docs", 0555);
        fresh.give_to_user();
        const RunResult result = run_orva_as_user(c.arguments, fresh.path());
        const std::string where = std::string(c.name) + "\n" + result.out;
        EXPECT_EQ(result.out.find("failed"), std::string::npos) << where;
        for (const auto& [path, contents] : c.contents) {
            const std::string full = fresh.path() + "/" + path;
            if (contents == "<missing>") {
                EXPECT_EQ(mode_of(full), -1) << path << " stays: " << where;
            } else {
                EXPECT_EQ(file_contents(full), contents) << path << ": " << where;
            }
        }
        for (const auto& [path, mode] : c.modes)
            EXPECT_EQ(mode_of(fresh.path() + "/" + path), mode) << path << ": " << where;
        for (const auto& [path, bits] : c.stored)
            EXPECT_EQ(stored_bits_of(fresh.path() + "/" + path), bits) << path << ": " << where;
    }
}

// An update adds files to a copy of a read-only directory, which stays read-only, and a
// move empties and removes it. (Copies and moves of such trees are the random trees'.)
TEST_F(LinuxOwnFiles, read_only_directories_are_updated_and_moved_by_their_owner)
{
    tree.file("src/locked/b", "b");
    tree.file("dst/src/locked/b", "b");
    tree.times("src/locked/b", 1000000000);
    tree.times("dst/src/locked/b", 1000000000);
    tree.file("src/locked/new", "new");
    for (const char* directory : {"src/locked", "dst/src/locked"})
        tree.mode(directory, 0555);
    tree.give_to_user();
    RunResult result = run({"/UI", "src", "dst"});
    EXPECT_EQ(result.out, "create file      dst\\src\\locked\\new\n");
    EXPECT_EQ(file_contents(host("dst/src/locked/new")), "new");
    EXPECT_EQ(mode_of(host("dst/src/locked")), 0555);

    const std::string copied = files_of(snapshot(host("dst/src")));
    result = run({"/CMI", "dst\\src", "moved"});
    EXPECT_EQ(result.out.find('!'), std::string::npos) << result.out;
    EXPECT_EQ(mode_of(host("dst/src")), -1) << result.out;
    EXPECT_EQ(files_of(snapshot(host("moved/src"))), copied);
    EXPECT_EQ(mode_of(host("moved/src/locked")), 0555);
}
