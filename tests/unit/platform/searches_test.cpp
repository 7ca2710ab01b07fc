// Directory searches: order, "." and "..", wildcards, and a search that runs while the
// directory changes.
#include <gtest/gtest.h>

#include "layer_helpers.h"

using Names = std::vector<std::string>;

TEST(Searches, dot_entries_come_first_then_ntfs_order_and_equal_names_keep_a_fixed_order)
{
    const struct { std::vector<const char*> files; Names expected; } cases[] = {
        {{}, {".", ".."}},
        {{"b.txt", "A.txt", "_x", "a.TXT.bak", "Zeta", "10", "1", "sub/"},
         {".", "..", "1", "10", "A.txt", "a.TXT.bak", "b.txt", "sub", "Zeta", "_x"}},
        {{"abc", "ABC", "Abc"}, {".", "..", "ABC", "Abc", "abc"}},
    };
    for (const auto& c : cases) {
        TempTree tree;
        for (const std::string name : c.files)
            name.back() == '/' ? tree.directory(name) : tree.file(name);
        EXPECT_EQ(search_names(tree.windows("*")), c.expected);
    }
}

TEST(Searches, wildcard_patterns_follow_windows_rules)
{
    TempTree tree;
    for (const char* name : {"a", "a.txt", "ab.txt", "abc.txt", "a.b.txt", "file.txt", "file1.txt", "noext", "x.htm",
                             "x.html"})
        tree.file(name);
    const struct { const char* pattern; Names expected; } cases[] = {
        {"*.*", {".", "..", "a", "a.b.txt", "a.txt", "ab.txt", "abc.txt", "file.txt", "file1.txt", "noext", "x.htm",
                 "x.html"}},
        {"*.txt", {"a.b.txt", "a.txt", "ab.txt", "abc.txt", "file.txt", "file1.txt"}},
        {"*.", {".", "..", "a", "noext"}},
        {"a.*", {"a", "a.b.txt", "a.txt"}},
        {"a?.txt", {"a.txt", "ab.txt"}},
        {"file?.txt", {"file.txt", "file1.txt"}},
        {"?", {"a"}},
        {"A*C.TXT", {"abc.txt"}},
        {"*.htm", {"x.htm", "x.html"}},  // x.html's short name X~1.HTM matches, as on Windows
        {"*b*", {"a.b.txt", "ab.txt", "abc.txt"}},
        {"zz*", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(search_names(tree.windows(c.pattern)), c.expected) << c.pattern;
}

TEST(Searches, second_search_does_not_return_an_entry_deleted_after_the_first_read_it)
{
    TempTree tree;
    for (const char* name : {"a", "b", "c"})
        tree.file(name);
    const std::string pattern = tree.windows("*");
    WIN32_FIND_DATAA record;
    HANDLE behind = FindFirstFileA(pattern.c_str(), &record);
    HANDLE ahead = FindFirstFileA(pattern.c_str(), &record);
    ASSERT_NE(behind, INVALID_HANDLE_VALUE);
    for (int i = 0; i < 2; i++)
        ASSERT_TRUE(FindNextFileA(behind, &record));
    EXPECT_STREQ(record.cFileName, "a");
    for (int i = 0; i < 3; i++)
        ASSERT_TRUE(FindNextFileA(ahead, &record));
    EXPECT_STREQ(record.cFileName, "b");
    ASSERT_TRUE(DeleteFileA(tree.windows("b").c_str()));
    Names names;
    while (FindNextFileA(behind, &record))
        names.push_back(record.cFileName);
    EXPECT_EQ(names, Names{"c"});
    FindClose(ahead);
    FindClose(behind);
}
