// Windows paths on the host: drives, separators, full paths, the current directory and
// a lookup that ignores case but never guesses.
#include <gtest/gtest.h>

#include "layer_helpers.h"

class CurrentDirectory : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(getcwd(saved_, sizeof saved_), nullptr); }
    void TearDown() override { ASSERT_EQ(chdir(saved_), 0); }
    char saved_[4096];
};

static std::string full_path(const char* path)
{
    char buffer[1024];
    char* file_part = nullptr;
    const DWORD length = GetFullPathNameA(path, sizeof buffer, buffer, &file_part);
    return length == 0 || length >= sizeof buffer ? "<failed>" : std::string(buffer, length);
}

TEST_F(CurrentDirectory, full_path_follows_windows_rules)
{
    TempTree tree;
    tree.directory("work");
    ASSERT_EQ(chdir(tree.host("work").c_str()), 0);
    const std::string here = tree.windows("work");
    const struct { const char* path; std::string expected; } cases[] = {
        {"a.txt", here + "\\a.txt"},
        {".\\a\\.\\b", here + "\\a\\b"},
        {"..\\x", tree.windows("x")},
        {"a/b\\\\c", here + "\\a\\b\\c"},
        {"sub\\", here + "\\sub\\"},
        {"\\tmp\\x", "Z:\\tmp\\x"},
        {"Z:", here},
        {"Z:rel", here + "\\rel"},
        {"z:\\a\\..\\..\\..\\b", "z:\\b"},
        {"D:", "D:\\"},
        {"D:x\\y", "D:\\x\\y"},
        {"C:\\dir\\*.txt", "C:\\dir\\*.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(full_path(c.path), c.expected) << c.path;
    tree.file("work/d/f.txt");
    for (const char* path : {"d\\f.txt", "Z:d/f.txt", "..\\work\\d\\.\\f.txt"})
        EXPECT_EQ(GetFileAttributesA(path), DWORD(FILE_ATTRIBUTE_ARCHIVE)) << path;
}

TEST_F(CurrentDirectory, current_directory_is_on_drive_z_with_backslashes_and_private_use_names)
{
    ASSERT_EQ(chdir("/"), 0);
    char buffer[1024];
    EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), 3u);
    EXPECT_STREQ(buffer, "Z:\\");
    TempTree tree;
    tree.directory("a|b");
    ASSERT_EQ(chdir(tree.path().c_str()), 0);
    const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_EQ(std::string(buffer, length), tree.windows());
    char small[5] = "xxxx";
    EXPECT_EQ(GetCurrentDirectoryA(sizeof small, small), length + 1) << "a short buffer gets the size it needs";
    EXPECT_STREQ(small, "xxxx");
    ASSERT_EQ(chdir(tree.host("a|b").c_str()), 0);
    ScopedEnvironment utf8("LC_ALL", "C.UTF-8");
    const DWORD inner = GetCurrentDirectoryA(sizeof buffer, buffer);
    EXPECT_EQ(std::string(buffer, inner), tree.windows("a\xEF\x81\xBC" "b"));
}

// A mapped drive's root is the host directory itself, without "." and "..".
TEST(Paths, mapped_drive_reaches_its_host_directory)
{
    TempTree tree;
    tree.file("backup/f.txt");
    ScopedEnvironment drive("ORVA_DRIVE_D", tree.path().c_str());
    for (const char* path : {"D:\\backup\\f.txt", "d:backup\\f.txt", "D:\\..\\backup\\f.txt"})
        EXPECT_NE(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES) << path;
    EXPECT_EQ(search_names("D:\\*"), std::vector<std::string>{"backup"});
    EXPECT_EQ(search_names("d:*"), std::vector<std::string>{"backup"});
    EXPECT_NE(search_names("Z:\\*").at(0), ".");
}

TEST(Paths, lookup_ignores_case_but_never_guesses_between_two_entries)
{
    TempTree tree;
    tree.file("MixedCase/File.TXT", "x");
    EXPECT_NE(GetFileAttributesA(tree.windows("mixedcase\\FILE.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    for (const char* name : {"name.txt", "NAME.txt", "dir/", "DIR/", "dir/x"})
        std::string(name).back() == '/' ? tree.directory(name) : tree.file(name);
    EXPECT_EQ(GetFileAttributesA(tree.windows("Name.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA(tree.windows("Dir\\x").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    // Exact spellings still reach each one.
    EXPECT_NE(GetFileAttributesA(tree.windows("name.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(DeleteFileA(tree.windows("NAME.txt").c_str()));
    EXPECT_TRUE(tree.exists("name.txt"));
    for (const char* same : {"dir\\", "dir\\.", "dir\\x\\..", "dir/"})
        EXPECT_EQ(GetFileAttributesA(tree.windows(same).c_str()), DWORD(FILE_ATTRIBUTE_DIRECTORY)) << same;
}
