// What searches leave unread for a run that does not look at it: the stored bits of files
// (searches_read_file_attributes), and below a destination root the short name and a
// directory's stored bits too.
#include <gtest/gtest.h>

#include <algorithm>

#include "layer_helpers.h"
#include "platform/posix/paths/path_roots.h"

// Name, short name and attributes of each record of a search, in name order.
static std::vector<std::string> records(const std::string& pattern)
{
    std::vector<std::string> found;
    WIN32_FIND_DATAA record;
    HANDLE search = FindFirstFileA(pattern.c_str(), &record);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &record))
        found.push_back(std::string(record.cFileName) + "|" + record.cAlternateFileName + "|" +
                        std::to_string(record.dwFileAttributes));
    FindClose(search);
    std::sort(found.begin(), found.end());
    return found;
}

// Forty hidden files, so that the searches' reading thread reads some of them too; a
// directory's stored read-only bit and GetFileAttributesA are read all the same.
TEST(SearchedFileAttributes, are_left_unread_for_files_in_searches_and_below_a_destination_root)
{
    TempTree tree;
    for (int i = 10; i < 50; i++) {
        tree.file("f" + std::to_string(i));
        tree.stored_bits("f" + std::to_string(i), "0x2");
    }
    tree.directory("Kept Directory");
    tree.stored_bits("Kept Directory", "0x1");
    searches_read_file_attributes(false);
    const std::vector<std::string> unread = records(tree.windows("*"));
    const DWORD asked = GetFileAttributesA(tree.windows("f10").c_str());
    searches_read_file_attributes(true);
    ASSERT_EQ(unread.size(), 43u);
    EXPECT_EQ(unread[2], "Kept Directory|KEPTDI~1|17");
    for (int i = 10; i < 50; i++)
        EXPECT_EQ(unread[i - 7], "f" + std::to_string(i) + "||32");
    EXPECT_EQ(asked, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(records(tree.windows("f49")), std::vector<std::string>{"f49||2"});

    const std::string root = tree.windows() + "\\";
    register_path_root(root.c_str(), root.size(), DESTINATION_NAMES);
    EXPECT_EQ(records(root + "f10"), std::vector<std::string>{"f10||32"});
    EXPECT_EQ(records(root + "Kept Directory"), std::vector<std::string>{"Kept Directory||16"});
    EXPECT_EQ(records(root + "F10"), std::vector<std::string>{});
    EXPECT_EQ(records(root + "KEPTDI~1"), std::vector<std::string>{});
    forget_path_roots();
}

// A search's record answers the call on its entry that follows at once, never one after
// the program waited: another program may have changed the entry meanwhile.
TEST(SearchedFileAttributes, a_wait_makes_the_next_call_read_the_entry_again)
{
    TempTree tree;
    tree.file("f");
    tree.stored_bits("f", "0x2");
    ASSERT_EQ(records(tree.windows("f")), std::vector<std::string>{"f||2"});
    tree.stored_bits("f", "0x4");
    Sleep(1);
    EXPECT_EQ(GetFileAttributesA(tree.windows("f").c_str()), FILE_ATTRIBUTE_SYSTEM);
}
