// 8.3 aliases: which names keep their form, the NAME~N.EXT numbering, and resolution
// from long names to short ones and back.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/platform.h"
#include "layer_helpers.h"

static std::string alias_of(const LayerTree& tree, const std::string& name)
{
    WIN32_FIND_DATAA record;
    HANDLE search = FindFirstFileA(tree.windows(name).c_str(), &record);
    if (search == INVALID_HANDLE_VALUE)
        return "<missing>";
    FindClose(search);
    return record.cAlternateFileName;
}

static std::string last_of(const std::string& path)
{
    return path.substr(path.rfind('\\') + 1);
}

static std::string short_path(const std::string& path)
{
    char buffer[1024];
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return length == 0 || length >= sizeof buffer ? "<failed>" : std::string(buffer, length);
}

TEST(Aliases, valid_short_names_are_their_own_alias_and_others_get_numbered_ones)
{
    LayerTree tree;
    const std::pair<const char*, const char*> cases[] = {
        {"README.TXT", ""}, {"readme2.txt", ""}, {"A", ""}, {"12345678.123", ""}, {"a_b-c~1.x", ""},
        {"Long File.txt", "LONGFI~1.TXT"}, {"Long File2.txt", "LONGFI~2.TXT"}, {"longfilename.html", "LONGFI~1.HTM"},
        {".bashrc", "BASHRC~1"}, {"a+b.txt", "AB~1.TXT"}, {"name.with.dots.jpeg", "NAMEWI~1.JPE"},
        {"ninechars", "NINECH~1"}, {"x.longext", "X~1.LON"},
    };
    for (const auto& [name, alias] : cases)
        tree.file(name);
    for (const auto& [name, alias] : cases)
        EXPECT_EQ(alias_of(tree, name), alias) << name;
}

TEST(Aliases, names_equal_ignoring_case_leave_the_upper_case_one_its_form)
{
    LayerTree tree;
    tree.file("ABC.TXT");
    tree.file("abc.txt");
    tree.file("Abc.txt");
    EXPECT_EQ(alias_of(tree, "ABC.TXT"), "");
    EXPECT_EQ(alias_of(tree, "Abc.txt"), "ABC~1.TXT");
    EXPECT_EQ(alias_of(tree, "abc.txt"), "ABC~2.TXT");
}

TEST(Aliases, numbering_skips_real_names_that_look_like_aliases)
{
    LayerTree tree;
    tree.file("LONGFI~1.TXT");
    tree.file("Long File.txt");
    EXPECT_EQ(alias_of(tree, "LONGFI~1.TXT"), "");
    EXPECT_EQ(alias_of(tree, "Long File.txt"), "LONGFI~2.TXT");
    // The real name wins when a path is written with it.
    HANDLE file = CreateFileA(tree.windows("longfi~1.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(last_of(short_path(tree.windows("Long File.txt"))), "LONGFI~2.TXT");
}

TEST(Aliases, numbers_past_nine_shorten_the_base)
{
    LayerTree tree;
    for (int i = 0; i < 11; i++)
        tree.file("document number " + std::to_string(100 + i) + ".txt");
    EXPECT_EQ(alias_of(tree, "document number 100.txt"), "DOCUME~1.TXT");
    EXPECT_EQ(alias_of(tree, "document number 108.txt"), "DOCUME~9.TXT");
    EXPECT_EQ(alias_of(tree, "document number 109.txt"), "DOCUM~10.TXT");
    EXPECT_EQ(alias_of(tree, "document number 110.txt"), "DOCUM~11.TXT");
}

TEST(Aliases, short_path_replaces_every_component_and_resolves_to_the_entries_that_produced_it)
{
    LayerTree tree;
    tree.directory("Program Files");
    tree.directory("Program Files/Sub Directory");
    tree.file("Program Files/Sub Directory/Long File.txt", "content");
    tree.file("Program Files/plain.txt");
    const std::string base = short_path(tree.windows());
    const std::string shortened = short_path(tree.windows("Program Files\\Sub Directory\\Long File.txt"));
    EXPECT_EQ(shortened, base + "\\PROGRA~1\\SUBDIR~1\\LONGFI~1.TXT");
    EXPECT_EQ(short_path(tree.windows("Program Files\\plain.txt")), base + "\\PROGRA~1\\plain.txt");
    EXPECT_EQ(short_path(tree.windows("Program Files\\Sub Directory\\")), base + "\\PROGRA~1\\SUBDIR~1\\");
    char upper[1024];
    strcpy(upper, shortened.c_str());
    CharUpperA(upper);
    HANDLE file = CreateFileA(upper, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char buffer[16] = {};
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), "content");
    CloseHandle(file);
    EXPECT_TRUE(DeleteFileA(upper));
    EXPECT_FALSE(tree.exists("Program Files/Sub Directory/Long File.txt"));
}

TEST(Aliases, short_path_of_a_missing_path_fails_and_a_small_buffer_gets_the_size_it_needs)
{
    LayerTree tree;
    tree.directory("dir");
    tree.file("Long File.txt");
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(GetShortPathNameA(tree.windows("dir\\none.txt").c_str(), buffer, sizeof buffer), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetShortPathNameA(tree.windows("none\\x.txt").c_str(), buffer, sizeof buffer), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    const std::string path = tree.windows("Long File.txt");
    EXPECT_EQ(GetShortPathNameA(path.c_str(), buffer, sizeof buffer), short_path(path).size() + 1);
    EXPECT_STREQ(buffer, "xxxxxxx");
}

// The layer edits the table of a directory it changes instead of reading it again; the
// aliases must still be the ones a scan gives, and a lookup by alias must find them.
TEST(Aliases, the_layer_s_own_changes_give_the_aliases_a_new_scan_gives)
{
    LayerTree tree;
    tree.file("Long File B.txt");
    EXPECT_EQ(last_of(short_path(tree.windows("Long File B.txt"))), "LONGFI~1.TXT");
    HANDLE file = CreateFileA(tree.windows("Long File A.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    // The new name sorts first and takes ~1.
    EXPECT_EQ(alias_of(tree, "LONGFI~2.TXT"), "LONGFI~2.TXT");
    EXPECT_EQ(last_of(short_path(tree.windows("Long File A.txt"))), "LONGFI~1.TXT");
    EXPECT_EQ(last_of(short_path(tree.windows("Long File B.txt"))), "LONGFI~2.TXT");
    EXPECT_TRUE(DeleteFileA(tree.windows("Long File A.txt").c_str()));
    EXPECT_EQ(alias_of(tree, "LONGFI~2.TXT"), "<missing>");
    EXPECT_EQ(last_of(short_path(tree.windows("Long File B.txt"))), "LONGFI~1.TXT");
    ASSERT_TRUE(CreateDirectoryA(tree.windows("Long Directory").c_str(), nullptr));
    EXPECT_EQ(last_of(short_path(tree.windows("Long File B.txt"))), "LONGFI~1.TXT");
    EXPECT_EQ(last_of(short_path(tree.windows("Long Directory"))), "LONGDI~1");
}

TEST(Aliases, short_path_of_each_entry_of_a_listed_directory)
{
    LayerTree tree;
    tree.directory("Big Directory");
    for (int i = 0; i < 200; i++)
        tree.file("Big Directory/entry number " + std::to_string(1000 + i) + ".data");
    const std::string directory = tree.windows("Big Directory");
    WIN32_FIND_DATAA record;
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &record);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    int checked = 0;
    do {
        if (record.cFileName[0] == '.')
            continue;
        const std::string shortened = short_path(directory + "\\" + record.cFileName);
        EXPECT_EQ(shortened.substr(shortened.rfind('\\') + 1), record.cAlternateFileName);
        checked++;
    } while (FindNextFileA(search, &record));
    FindClose(search);
    EXPECT_EQ(checked, 200);
}
