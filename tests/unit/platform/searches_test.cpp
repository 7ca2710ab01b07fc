// Directory searches: order, "." and "..", wildcards, complete records and error codes.
#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include "platform/platform.h"
#include "temporary_tree.h"

using Names = std::vector<std::string>;

TEST(Searches, find_returns_dot_entries_first_then_ntfs_order)
{
    TemporaryTree tree;
    for (const char* name : {"b.txt", "A.txt", "_x", "a.TXT.bak", "Zeta", "10", "1"})
        tree.file(name);
    tree.directory("sub");
    EXPECT_EQ(search_names(tree.windows("*")),
              (Names{".", "..", "1", "10", "A.txt", "a.TXT.bak", "b.txt", "sub", "Zeta", "_x"}));
}

TEST(Searches, names_equal_ignoring_case_keep_a_fixed_order)
{
    TemporaryTree tree;
    for (const char* name : {"abc", "ABC", "Abc"})
        tree.file(name);
    EXPECT_EQ(search_names(tree.windows("*")), (Names{".", "..", "ABC", "Abc", "abc"}));
}

TEST(Searches, drive_root_has_no_dot_entries)
{
    const Names names = search_names("Z:\\*");
    ASSERT_FALSE(names.empty());
    EXPECT_NE(names[0], ".");
    EXPECT_EQ(std::count(names.begin(), names.end(), "tmp"), 1);
}

TEST(Searches, mapped_drive_root_has_no_dot_entries)
{
    TemporaryTree tree;
    tree.file("only.txt");
    ScopedEnvironment drive("ORVA_DRIVE_Q", tree.root().c_str());
    EXPECT_EQ(search_names("Q:\\*"), Names{"only.txt"});
    EXPECT_EQ(search_names("q:*"), Names{"only.txt"});
}

TEST(Searches, empty_directory_lists_only_dot_entries)
{
    TemporaryTree tree;
    EXPECT_EQ(search_names(tree.windows("*")), (Names{".", ".."}));
}

TEST(Searches, wildcard_patterns_follow_windows_rules)
{
    TemporaryTree tree;
    for (const char* name : {"a", "a.txt", "ab.txt", "abc.txt", "a.b.txt", "file.txt", "file1.txt", "noext", "x.htm",
                             "x.html"})
        tree.file(name);
    const struct {
        const char* pattern;
        Names expected;
    } cases[] = {
        {"*.*", {".", "..", "a", "a.b.txt", "a.txt", "ab.txt", "abc.txt", "file.txt", "file1.txt", "noext", "x.htm",
                 "x.html"}},
        {"*.txt", {"a.b.txt", "a.txt", "ab.txt", "abc.txt", "file.txt", "file1.txt"}},
        {"*.", {".", "..", "a", "noext"}},
        {"a.*", {"a", "a.b.txt", "a.txt"}},
        {"a?.txt", {"a.txt", "ab.txt"}},
        {"file?.txt", {"file.txt", "file1.txt"}},
        {"?", {"a"}},
        {"A*C.TXT", {"abc.txt"}},
        // x.html's short name X~1.HTM matches as well, as on Windows.
        {"*.htm", {"x.htm", "x.html"}},
        {"*b*", {"a.b.txt", "ab.txt", "abc.txt"}},
        {"zz*", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(search_names(tree.windows(c.pattern)), c.expected) << c.pattern;
}

TEST(Searches, pattern_matches_short_names_too)
{
    TemporaryTree tree;
    tree.file("Long File Name.text");
    EXPECT_EQ(search_names(tree.windows("LONGFI~1.TEX")), Names{"Long File Name.text"});
    EXPECT_EQ(search_names(tree.windows("*~1.tex")), Names{"Long File Name.text"});
}

TEST(Searches, wildcard_in_a_directory_component_is_an_invalid_name)
{
    TemporaryTree tree;
    tree.directory("sub");
    WIN32_FIND_DATAA record;
    for (const char* pattern : {"s*\\x", "s?b\\*", "sub*\\*"}) {
        EXPECT_EQ(FindFirstFileA(tree.windows(pattern).c_str(), &record), INVALID_HANDLE_VALUE) << pattern;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME)) << pattern;
    }
}

TEST(Searches, missing_names_give_file_or_path_not_found)
{
    TemporaryTree tree;
    tree.directory("sub");
    tree.file("file");
    const struct {
        const char* relative;
        DWORD code;
    } cases[] = {
        {"sub\\nothing.txt", ERROR_FILE_NOT_FOUND},
        {"sub\\*.none", ERROR_FILE_NOT_FOUND},
        {"missing\\*", ERROR_PATH_NOT_FOUND},
        {"missing\\deeper\\x", ERROR_PATH_NOT_FOUND},
        {"file\\*", ERROR_PATH_NOT_FOUND},
        {"sub\\", ERROR_FILE_NOT_FOUND},
    };
    WIN32_FIND_DATAA record;
    for (const auto& c : cases) {
        EXPECT_EQ(FindFirstFileA(tree.windows(c.relative).c_str(), &record), INVALID_HANDLE_VALUE) << c.relative;
        EXPECT_EQ(GetLastError(), c.code) << c.relative;
    }
    EXPECT_EQ(FindFirstFileA("Y:\\*", &record), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(Searches, find_next_ends_with_no_more_files)
{
    TemporaryTree tree;
    tree.file("one");
    WIN32_FIND_DATAA record;
    HANDLE search = FindFirstFileA(tree.windows("one").c_str(), &record);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindNextFileA(search, &record));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(search));
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Searches, exact_name_finds_the_entry_whatever_its_case)
{
    TemporaryTree tree;
    tree.directory("Source");
    EXPECT_EQ(search_names(tree.windows("SOURCE")), Names{"Source"});
    EXPECT_EQ(search_names(tree.windows("source")), Names{"Source"});
}

TEST(Searches, records_are_complete)
{
    TemporaryTree tree;
    tree.file("data.bin", "12345");
    const struct timespec times[2] = {{1000000000, 123456700}, {1200000000, 987654300}};
    ASSERT_EQ(utimensat(AT_FDCWD, tree.host("data.bin").c_str(), times, 0), 0);
    // A sparse file beyond 4 GiB checks both halves of the size.
    const int fd = open(tree.host("big").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(ftruncate(fd, 5000000000LL), 0);
    close(fd);
    WIN32_FIND_DATAA record;
    HANDLE search = FindFirstFileA(tree.windows("data.bin").c_str(), &record);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    EXPECT_EQ(record.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(record.nFileSizeLow, 5u);
    EXPECT_EQ(record.nFileSizeHigh, 0u);
    const uint64_t epoch = 116444736000000000ull;
    const auto value = [](const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    EXPECT_EQ(value(record.ftLastAccessTime), epoch + 10000000000000000ull + 1234567);
    EXPECT_EQ(value(record.ftLastWriteTime), epoch + 12000000000000000ull + 9876543);
    EXPECT_NE(value(record.ftCreationTime), 0u);
    EXPECT_STREQ(record.cAlternateFileName, "");
    search = FindFirstFileA(tree.windows("big").c_str(), &record);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    EXPECT_EQ(record.nFileSizeHigh, 1u);
    EXPECT_EQ(record.nFileSizeLow, static_cast<DWORD>(5000000000LL - 4294967296LL));
}

TEST(Searches, entries_that_vanish_after_the_first_are_passed_over)
{
    TemporaryTree tree;
    for (const char* name : {"a", "b", "c"})
        tree.file(name);
    WIN32_FIND_DATAA record;
    HANDLE search = FindFirstFileA(tree.windows("*").c_str(), &record);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    unlink(tree.host("b").c_str());
    Names names{record.cFileName};
    while (FindNextFileA(search, &record))
        names.push_back(record.cFileName);
    FindClose(search);
    EXPECT_EQ(names, (Names{".", "..", "a", "c"}));
}

TEST(Searches, dot_of_a_directory_names_the_directory_itself)
{
    TemporaryTree tree;
    tree.directory("sub");
    WIN32_FIND_DATAA record;
    HANDLE search = FindFirstFileA(tree.windows("sub\\.").c_str(), &record);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    EXPECT_STREQ(record.cFileName, ".");
    EXPECT_TRUE(record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Searches, forward_slashes_separate_too)
{
    TemporaryTree tree;
    tree.directory("sub");
    tree.file("sub/x");
    EXPECT_EQ(search_names("Z:" + tree.root() + "/sub/*"), (Names{".", "..", "x"}));
}

TEST(Searches, host_names_with_forbidden_characters_show_in_private_use_form_under_utf8)
{
    TemporaryTree tree;
    tree.file("a:b");
    tree.file("q?");
    tree.file("plain");
    {
        ScopedEnvironment utf8("LC_ALL", "en_US.UTF-8");
        EXPECT_EQ(search_names(tree.windows("*")), (Names{".", "..", "a\xEF\x80\xBA" "b", "plain", "q\xEF\x80\xBF"}));
        // The shown name reaches the host file.
        EXPECT_NE(GetFileAttributesA(tree.windows("a\xEF\x80\xBA" "b").c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_TRUE(DeleteFileA(tree.windows("q\xEF\x80\xBF").c_str()));
        EXPECT_FALSE(tree.exists("q?"));
    }
    // A single-byte code page cannot show them: the program never sees them.
    ScopedEnvironment single_byte("LC_ALL", "C");
    EXPECT_EQ(search_names(tree.windows("*")), (Names{".", "..", "plain"}));
}

TEST(Searches, many_open_searches_do_not_run_out_of_descriptors)
{
    TemporaryTree tree;
    tree.file("x");
    std::vector<HANDLE> searches;
    WIN32_FIND_DATAA record;
    for (int i = 0; i < 600; i++) {
        HANDLE search = FindFirstFileA(tree.windows("*").c_str(), &record);
        ASSERT_NE(search, INVALID_HANDLE_VALUE) << i;
        searches.push_back(search);
    }
    for (HANDLE search : searches) {
        while (FindNextFileA(search, &record)) {
        }
        EXPECT_TRUE(FindClose(search));
    }
}
