// Symbolic links: a link to a file is the file, a link to a directory is a reparse
// point the walk does not enter, a dangling link is an empty file that cannot be opened.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "temporary_tree.h"

static WIN32_FIND_DATAA record_of(const std::string& path)
{
    WIN32_FIND_DATAA record = {};
    HANDLE search = FindFirstFileA(path.c_str(), &record);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return record;
}

TEST(Links, link_to_a_file_is_the_file)
{
    TemporaryTree tree;
    tree.file("target.txt", "12345");
    tree.link("link.txt", "target.txt");
    const WIN32_FIND_DATAA record = record_of(tree.windows("link.txt"));
    EXPECT_EQ(record.dwFileAttributes, DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(record.nFileSizeLow, 5u);
    HANDLE file = CreateFileA(tree.windows("link.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

TEST(Links, link_to_a_directory_is_a_reparse_point)
{
    TemporaryTree tree;
    tree.directory("real");
    tree.file("real/inside");
    tree.link("jump", "real");
    const WIN32_FIND_DATAA record = record_of(tree.windows("jump"));
    EXPECT_EQ(record.dwFileAttributes, DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    EXPECT_EQ(GetFileAttributesA(tree.windows("jump").c_str()),
              DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    // It is listed with the others.
    EXPECT_EQ(search_names(tree.windows("*")), (std::vector<std::string>{".", "..", "jump", "real"}));
}

TEST(Links, removing_a_directory_link_removes_the_link_only)
{
    TemporaryTree tree;
    tree.directory("real");
    tree.file("real/inside");
    tree.link("jump", "real");
    tree.link("jump2", "real");
    EXPECT_TRUE(RemoveDirectoryA(tree.windows("jump").c_str()));
    EXPECT_FALSE(tree.exists("jump"));
    EXPECT_TRUE(DeleteFileA(tree.windows("jump2").c_str()));
    EXPECT_FALSE(tree.exists("jump2"));
    EXPECT_TRUE(tree.exists("real/inside"));
}

TEST(Links, directory_link_keeps_its_target_untouched_by_attribute_changes)
{
    TemporaryTree tree;
    tree.directory("real");
    tree.link("jump", "real");
    EXPECT_FALSE(SetFileAttributesA(tree.windows("jump").c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(GetFileAttributesA(tree.windows("real").c_str()), DWORD(FILE_ATTRIBUTE_DIRECTORY));
}

TEST(Links, dangling_link_is_an_empty_file_that_cannot_be_opened)
{
    TemporaryTree tree;
    tree.link("broken", "nowhere");
    const WIN32_FIND_DATAA record = record_of(tree.windows("broken"));
    EXPECT_STREQ(record.cFileName, "broken");
    EXPECT_EQ(record.dwFileAttributes, DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(record.nFileSizeLow, 0u);
    EXPECT_EQ(CreateFileA(tree.windows("broken").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    // Writing through it would create a file outside the tree.
    EXPECT_EQ(CreateFileA(tree.windows("broken").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_FALSE(tree.exists("nowhere"));
    EXPECT_TRUE(DeleteFileA(tree.windows("broken").c_str()));
    EXPECT_FALSE(tree.exists("broken"));
}

TEST(Links, link_that_loops_cannot_be_resolved)
{
    TemporaryTree tree;
    tree.link("one", "two");
    tree.link("two", "one");
    EXPECT_EQ(CreateFileA(tree.windows("one").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANT_RESOLVE_FILENAME));
}
