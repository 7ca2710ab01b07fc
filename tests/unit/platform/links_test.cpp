// Symbolic links: a link to a file is read as the file, a dangling or looping link is a
// file that cannot be opened, and removing a link never reaches its target.
#include <gtest/gtest.h>

#include "layer_helpers.h"

// Reading goes through a link, writing never does: a dangling link is an empty file
// that cannot be opened, and a link to a directory is removed as the link alone.
TEST(Links, reads_go_through_a_link_and_nothing_else_does)
{
    TempTree tree;
    tree.file("target.txt", "12345");
    tree.file("real/inside");
    tree.link("link.txt", "target.txt");
    tree.link("broken", "nowhere");
    tree.link("jump", "real");
    tree.link("jump2", "real");
    tree.link("one", "two");
    tree.link("two", "one");
    EXPECT_EQ(record_of(tree.windows("link.txt")).nFileSizeLow, 5u);
    EXPECT_EQ(record_of(tree.windows("broken")).nFileSizeLow, 0u);
    const auto open_error = [&](const char* name, DWORD access, DWORD disposition) {
        HANDLE file = CreateFileA(tree.windows(name).c_str(), access, 0, nullptr, disposition, 0, nullptr);
        return error_after(file != INVALID_HANDLE_VALUE && CloseHandle(file));
    };
    EXPECT_EQ(open_error("link.txt", GENERIC_READ, OPEN_EXISTING), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(open_error("broken", GENERIC_READ, OPEN_EXISTING), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_NE(open_error("broken", GENERIC_WRITE, CREATE_ALWAYS), DWORD(ERROR_SUCCESS));
    EXPECT_FALSE(tree.exists("nowhere"));
    EXPECT_EQ(open_error("one", GENERIC_READ, OPEN_EXISTING), DWORD(ERROR_CANT_RESOLVE_FILENAME));
    EXPECT_TRUE(RemoveDirectoryA(tree.windows("jump").c_str()));
    EXPECT_TRUE(DeleteFileA(tree.windows("jump2").c_str()));
    EXPECT_TRUE(DeleteFileA(tree.windows("broken").c_str()));
    EXPECT_EQ(search_names(tree.windows("*")), (std::vector<std::string>{".", "..", "link.txt", "one", "real", "target.txt", "two"}));
    EXPECT_TRUE(tree.exists("real/inside"));
}
