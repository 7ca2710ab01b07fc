// Short forms reached by going down from the directory whose form was kept last, as the
// walker does, against the forms of the same paths resolved from the disk alone.
#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>

#include "layer_helpers.h"

using Names = std::vector<std::string>;

// The form without the components of the tree's root, whose aliases in /tmp follow what
// other programs keep there; an error stays as it is.
static std::string below_root(const TempTree& tree, const std::string& form)
{
    size_t at = 0;
    for (char c : tree.windows()) {
        if (c == '\\')
            at = form.find('\\', at) + 1;
    }
    const size_t end = form.find('\\', at);
    return form[0] == '<' || end == std::string::npos ? form : form.substr(end);
}

// Every path below directory, in the order the walker meets them, with its short form
// asked for at that moment.
static void walk_short_forms(const std::string& directory, std::vector<std::pair<std::string, std::string>>& forms)
{
    for (const std::string& name : search_names(directory + "\\*")) {
        if (name == "." || name == "..")
            continue;
        const std::string path = directory + "\\" + name;
        forms.emplace_back(path, short_path(path));
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            walk_short_forms(path, forms);
    }
}

// Going down into a file or a missing directory fails as a cold lookup does.
TEST(ShortFormDescent, walker_order_and_other_spellings_give_the_forms_a_cold_lookup_gives)
{
    TempTree tree;
    for (const char* directory : {"Long Directory A", "Long Directory B", "LONGDI~1", "Long Directory B/short",
                                  "Long Directory B/Inner Long Name/deeper still here"})
        tree.directory(directory);
    tree.file("Long Directory A/some file.text");
    tree.file("Long Directory B/Inner Long Name/deeper still here/last file.data");
    tree.file("Long Directory B/Inner Long Name/README.TXT");
    tree.file("Long Directory B/short/another long file");
    std::vector<std::pair<std::string, std::string>> forms;
    walk_short_forms(tree.windows(), forms);
    std::string lines;
    for (const auto& [path, form] : forms) {
        forget_all_directories();
        EXPECT_EQ(below_root(tree, short_path(path)), below_root(tree, form)) << path;
        lines += path.substr(tree.windows().size() + 1) + " -> " + below_root(tree, form) + "\n";
    }
    EXPECT_EQ(lines, file_contents(PLATFORM_EXPECTED_DIR "/short_forms_in_walker_order.txt"));
    const std::pair<const char*, const char*> spellings[] = {
        {"long directory b\\INNER LONG NAME\\readme.txt", "\\LONGDI~3\\INNERL~1\\README.TXT"},
        {"LONGDI~3\\INNERL~1\\README.TXT", "\\LONGDI~3\\INNERL~1\\README.TXT"},
        {"Long Directory B\\short\\..\\Inner Long Name\\README.TXT", "\\LONGDI~3\\INNERL~1\\README.TXT"},
        {"Long Directory B\\.\\Inner Long Name\\README.TXT", "\\LONGDI~3\\INNERL~1\\README.TXT"},
        {"Long Directory B\\\\Inner Long Name\\README.TXT", "\\LONGDI~3\\INNERL~1\\README.TXT"},
        {"Long Directory B\\short\\another long file\\x", "<error 3>"},
        {"Long Directory B\\missing one\\x", "<error 3>"},
    };
    for (const auto& [spelling, form] : spellings) {
        forget_all_directories();
        short_path(tree.windows("Long Directory B\\short"));  // keeps the form of Long Directory B
        EXPECT_EQ(below_root(tree, short_path(tree.windows() + "\\" + spelling)), form) << spelling;
    }
}

TEST(ShortFormDescent, a_change_the_layer_makes_above_is_seen_when_going_down)
{
    struct Case {
        const char* kept;
        const char* created;  // sorted before a directory on the way, it takes that one's ~1
        const char* asked;
        const char* expected;
    } cases[] = {
        {"Long Directory B", "Long Directory A", "Long Directory B/Inner Long Name", "\\LONGDI~2\\INNERL~1"},
        {"Long Directory B/Inner Long Name/some long file name", "Long Directory B/Inner Long A",
         "Long Directory B/Inner Long Name/some long file name", "\\LONGDI~1\\INNERL~2\\SOMELO~1"},
    };
    for (const Case& c : cases) {
        TempTree tree;
        tree.directory("Long Directory B");
        tree.directory("Long Directory B/Inner Long Name");
        tree.file("Long Directory B/Inner Long Name/some long file name");
        short_path(tree.windows(c.kept));
        ASSERT_TRUE(CreateDirectoryA(tree.windows(c.created).c_str(), nullptr));
        EXPECT_EQ(below_root(tree, short_path(tree.windows(c.asked))), c.expected) << c.created;
    }
}

// Another program replaces the directory while the walk is below it.
TEST(ShortFormDescent, a_directory_replaced_behind_the_walk_is_seen_going_back_up)
{
    TempTree tree;
    tree.directory("Long Directory B");
    tree.directory("Long Directory B/deeper still here");
    tree.file("Long Directory B/deeper still here/last file.data");
    tree.file("Long Directory B/long file two");
    EXPECT_EQ(below_root(tree, short_path(tree.windows("Long Directory B\\long file two"))), "\\LONGDI~1\\LONGFI~1");
    short_path(tree.windows("Long Directory B\\deeper still here\\last file.data"));
    ASSERT_EQ(rename(tree.host("Long Directory B").c_str(), tree.host("old").c_str()), 0);
    tree.directory("Long Directory B");
    tree.file("Long Directory B/long file one");
    tree.file("Long Directory B/long file two");
    EXPECT_EQ(below_root(tree, short_path(tree.windows("Long Directory B\\long file two"))), "\\LONGDI~1\\LONGFI~2");
}

// An entry another program makes is found by a search for its one name: in a table the
// layer read, with the directory's time stamp set back so that the cache cannot tell;
// and in a table the layer made and then filled itself, which it edits instead of
// reading again (the other program sets the directory's time itself, so that the
// stamps differ whatever the clock's grain).
TEST(ShortFormDescent, search_for_one_name_reads_a_stale_directory_again)
{
    TempTree tree;
    tree.directory("Long Directory B");
    struct stat before;
    ASSERT_EQ(stat(tree.host("Long Directory B").c_str(), &before), 0);
    EXPECT_EQ(search_names(tree.windows("Long Directory B\\*")), (Names{".", ".."}));
    tree.file("Long Directory B/late arrival.txt");
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, tree.host("Long Directory B").c_str(), times, 0), 0);
    EXPECT_EQ(search_names(tree.windows("Long Directory B\\LATE ARRIVAL.TXT")), Names{"late arrival.txt"});

    ASSERT_TRUE(CreateDirectoryA(tree.windows("Made Here").c_str(), nullptr));
    HANDLE file = CreateFileA(tree.windows("Made Here\\first file.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(search_names(tree.windows("Made Here\\LATE ARRIVAL.TXT")), Names{});
    tree.file("Made Here/late arrival.txt");
    tree.times("Made Here", 1000000000);
    EXPECT_EQ(search_names(tree.windows("Made Here\\LATE ARRIVAL.TXT")), Names{"late arrival.txt"});
    EXPECT_EQ(search_names(tree.windows("Made Here\\*")), (Names{".", "..", "first file.txt", "late arrival.txt"}));
}
