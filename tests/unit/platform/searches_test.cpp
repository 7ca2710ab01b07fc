// Directory searches: order, "." and "..", wildcards, and searches that run side by side while the directory changes.
#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "platform/platform.h"
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
        for (const std::string name : c.files) {
            if (name.back() == '/')
                tree.directory(name);
            else
                tree.file(name);
        }
        EXPECT_EQ(search_names(tree.windows("*")), c.expected);
    }
}

TEST(Searches, drive_roots_have_no_dot_entries)
{
    TempTree tree;
    tree.file("only.txt");
    ScopedEnvironment drive("ORVA_DRIVE_Q", tree.path().c_str());
    EXPECT_EQ(search_names("Q:\\*"), Names{"only.txt"});
    EXPECT_EQ(search_names("q:*"), Names{"only.txt"});
    EXPECT_NE(search_names("Z:\\*").at(0), ".");
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

// A walk opens each subdirectory while its parent's search stands just past it: the
// subdirectory's "." and ".." give the facts of the directory itself and of its true
// parent, also for a link (whose ".." is the target's parent) and a dot-name (hidden,
// while its "." is not).
TEST(Searches, dot_records_inside_a_walk_equal_the_directories_they_name)
{
    TempTree tree;
    for (const char* name : {"elsewhere", "elsewhere/target", "p", "p/.hid", "p/sub"})
        tree.directory(name);
    tree.link("p/lnk", tree.host("elsewhere/target"));
    const struct timespec old_times[2] = {{1000000000, 0}, {1000000000, 0}};
    const struct timespec new_times[2] = {{1300000000, 0}, {1300000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, tree.host("elsewhere").c_str(), old_times, 0), 0);
    ASSERT_EQ(utimensat(AT_FDCWD, tree.host("p").c_str(), new_times, 0), 0);
    const auto facts = [](const WIN32_FIND_DATAA& r) {
        return std::to_string(r.dwFileAttributes) + " " + std::to_string(r.ftLastWriteTime.dwLowDateTime) + " " +
               std::to_string(r.ftLastWriteTime.dwHighDateTime) + " " + std::to_string(r.nFileSizeLow) + " " +
               r.cAlternateFileName;
    };
    WIN32_FIND_DATAA entry;
    HANDLE parent = FindFirstFileA(tree.windows("p\\*").c_str(), &entry);
    ASSERT_NE(parent, INVALID_HANDLE_VALUE);
    int entered = 0;
    while (FindNextFileA(parent, &entry)) {
        const std::string name = entry.cFileName;
        if (name == "..")
            continue;
        WIN32_FIND_DATAA dot, dot_dot;
        HANDLE child = FindFirstFileA(tree.windows("p\\" + name + "\\*").c_str(), &dot);
        ASSERT_NE(child, INVALID_HANDLE_VALUE) << name;
        ASSERT_TRUE(FindNextFileA(child, &dot_dot)) << name;
        FindClose(child);
        EXPECT_STREQ(dot.cFileName, ".");
        EXPECT_STREQ(dot_dot.cFileName, "..");
        EXPECT_EQ(facts(dot), facts(record_of(tree.windows("p\\" + name + "\\.")))) << name;
        const std::string parent_directory = name == "lnk" ? "elsewhere" : "p";
        EXPECT_EQ(facts(dot_dot), facts(record_of(tree.windows(parent_directory + "\\.")))) << name;
        entered++;
    }
    FindClose(parent);
    EXPECT_EQ(entered, 3);
}

// Two searches of one directory keep their own positions: one running an entry ahead
// of the other, as the tree's look-ahead does.
TEST(Searches, two_searches_of_one_directory_go_through_it_independently)
{
    TempTree tree;
    tree.file("a", "1");
    tree.file("b", "22");
    tree.directory("c");
    tree.file("Long Name.txt", "4444");
    const std::string pattern = tree.windows("*");
    WIN32_FIND_DATAA behind_record, ahead_record;
    HANDLE behind = FindFirstFileA(pattern.c_str(), &behind_record);
    HANDLE ahead = FindFirstFileA(pattern.c_str(), &ahead_record);
    ASSERT_NE(behind, INVALID_HANDLE_VALUE);
    ASSERT_NE(ahead, INVALID_HANDLE_VALUE);
    std::vector<std::string> behind_seen, ahead_seen;
    const auto seen = [](const WIN32_FIND_DATAA& r) {
        return std::string(r.cFileName) + "|" + r.cAlternateFileName + "|" + std::to_string(r.nFileSizeLow) + "|" +
               std::to_string(r.dwFileAttributes) + "|" + std::to_string(r.ftLastWriteTime.dwLowDateTime);
    };
    ahead_seen.push_back(seen(ahead_record));
    bool ahead_more = FindNextFileA(ahead, &ahead_record);
    do {
        behind_seen.push_back(seen(behind_record));
        if (ahead_more) {
            ahead_seen.push_back(seen(ahead_record));
            ahead_more = FindNextFileA(ahead, &ahead_record);
        }
    } while (FindNextFileA(behind, &behind_record));
    EXPECT_EQ(behind_seen, ahead_seen);
    EXPECT_EQ(behind_seen.size(), 6u);
    EXPECT_EQ(behind_seen[3], seen(record_of(tree.windows("b"))));
    EXPECT_EQ(behind_seen[5], seen(record_of(tree.windows("Long Name.txt"))));
    FindClose(ahead);
    FindClose(behind);

}

// What one search read is not handed to the other after the layer changed the
// directory: an entry deleted in between is passed over by the search that comes later.
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
