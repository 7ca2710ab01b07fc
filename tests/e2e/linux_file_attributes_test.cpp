// Runs that show no attributes (sizes, commands, verify by contents) leave the hidden,
// system and archive bits of files unread, unless a filter names attributes.
#include <gtest/gtest.h>

#include "e2e/run_program.h"

TEST(LinuxFileAttributes, filters_on_stored_bits_hold_in_runs_that_show_none)
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
