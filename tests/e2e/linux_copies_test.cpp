// A copy cut off by SIGKILL on a Linux file system is never taken for complete. (The
// permission bits and holes a copy keeps are the random trees' to check.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "e2e/pty_session.h"
#include "e2e/run_program.h"

// Held at Ctrl+S after its first block, the copy is killed: nothing may stand under the
// name, or an update would keep it for its newer time and verify would not look again.
TEST(LinuxCopies, a_copy_killed_mid_file_leaves_nothing_under_its_name)
{
    TempTree tree;
    std::string data;
    for (int i = 0; i < 65536; i++)
        data += "0123456789abcdef";
    tree.file("src/big", data);
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
    const RunResult update = run_orva_as_user({"/UI", "src", "dst"}, tree.path());
    EXPECT_EQ(update.exit_code, 1) << update.out;
    const RunResult verify = run_orva_as_user({"/V", "src", "dst"}, tree.path());
    EXPECT_EQ(verify.exit_code, 1) << verify.out;
    EXPECT_EQ(snapshot(tree.path() + "/src"), before);
    EXPECT_EQ(snapshot(tree.path() + "/dst/src"), before);
}
