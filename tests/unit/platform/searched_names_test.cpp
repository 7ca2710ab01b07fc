// Names after a registered root came from searches: each names exactly one entry or
// none, never a twin that differs in case nor the file whose alias it spells, while the
// root's own components, typed, are still found by case and by alias.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "layer_helpers.h"
#include "platform/posix/paths/path_roots.h"

// What a call may have changed of an entry: its mode, contents and stored attributes.
static std::string state_of(const std::string& host)
{
    struct stat status;
    const bool file = lstat(host.c_str(), &status) == 0 && S_ISREG(status.st_mode);
    return std::to_string(mode_of(host)) + " " + (file ? file_contents(host) : "") + " [" + stored_bits_of(host) + "]";
}

// Each name exists only as its twin, the entry a lookup ignoring case or by alias takes.
struct Searched {
    const char* name;    // below the root, as the walk builds it
    const char* twin;    // what the directory holds instead (host form)
    bool below_missing;  // the name's directory is missing: nothing can be made there
};

static const Searched SEARCHED[] = {
    {"README", "readme", false},
    {"ABCDEF~1.TXT", "abcdefghij.txt", false},
    {"Sub", "sub", false},
    {"Dir\\f", "dir/f", true},
};

// An operation on a path: true when the call succeeded. existing: a name below the root
// the call succeeds on.
struct Operation {
    const char* name;
    bool makes_the_entry;  // succeeds by making the entry of that exact name
    const char* existing;
    std::function<bool(const std::string&)> call;
};

using Path = const std::string&;

// Copies, updates, verifies, moves and removals of random trees with case twins and
// alias-look-alike names meet the other calls through the program; these are the ones it
// makes only with a name that exists, or never with a searched name.
static const Operation OPERATIONS[] = {
    {"GetFileAttributesA", false, "present", [](Path path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }},
    // A sibling first, so that the second call goes through the kept directories.
    {"GetShortPathNameA", false, "present",
     [](Path path) {
         short_path(path.substr(0, path.rfind('\\') + 1) + "present");
         return short_path(path).find('<') == std::string::npos;
     }},
    {"DeleteFileA", false, "present", [](Path path) { return DeleteFileA(path.c_str()) != FALSE; }},
    {"RemoveDirectoryA", false, "sub", [](Path path) { return RemoveDirectoryA(path.c_str()) != FALSE; }},
    // The host text a command is given names an entry.
    {"command_path_text", false, "present",
     [](Path path) {
         char text[1024];
         command_path_text(path.c_str(), text, sizeof text);
         return mode_of(text) >= 0;
     }},
    {"CreateFileA CREATE_NEW", true, "new",
     [](Path path) {
         HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
         return file != INVALID_HANDLE_VALUE && CloseHandle(file);
     }},
};

// The directory the walk starts from, as the user may have typed it.
static const char* const TYPED_ROOTS[] = {"Typed Dir", "TYPED DIR", "TYPEDD~1"};

static void make_tree(const TempTree& tree)
{
    for (const char* directory : {"Typed Dir", "Typed Dir/dir", "Typed Dir/sub"})
        tree.directory(directory);
    tree.file("Typed Dir/present", "present");
    tree.file("Typed Dir/readme", "lower");
    tree.file("Typed Dir/abcdefghij.txt", "long");
    tree.file("Typed Dir/dir/f", "in dir");
}

static std::string root_text(const TempTree& tree, const char* typed)
{
    return tree.windows(typed) + "\\";
}

static void register_root(const TempTree& tree, const char* typed)
{
    forget_path_roots();
    const std::string root = root_text(tree, typed);
    register_path_root(root.c_str(), root.size(), NAMES_FROM_SEARCHES);
}

TEST(SearchedNames, each_call_takes_a_searched_name_exactly_and_the_typed_root_by_case_and_alias)
{
    for (const char* typed : TYPED_ROOTS) {
        for (const Operation& operation : OPERATIONS) {
            for (const Searched& searched : SEARCHED) {
                TempTree tree;
                make_tree(tree);
                register_root(tree, typed);
                const std::string twin = tree.host(std::string("Typed Dir/") + searched.twin);
                const std::string twin_before = state_of(twin);
                const std::string label = std::string(operation.name) + " " + typed + "\\" + searched.name;
                const bool made = operation.call(root_text(tree, typed) + searched.name);
                EXPECT_EQ(made, operation.makes_the_entry && !searched.below_missing) << label;
                EXPECT_EQ(state_of(twin), twin_before) << label;
                EXPECT_EQ(tree.exists(std::string("Typed Dir/") + searched.name), made) << label;
            }
            TempTree tree;
            make_tree(tree);
            register_root(tree, typed);
            EXPECT_TRUE(operation.call(root_text(tree, typed) + operation.existing))
                << operation.name << " " << typed << "\\" << operation.existing;
        }
    }
    forget_path_roots();
}

// Of the roots a path begins with, the longest decides, and of two as long the one
// whose names are typed; the empty root begins only relative paths.
TEST(PathRoots, the_longest_root_decides_and_a_tie_goes_to_typed_names)
{
    struct Case {
        std::vector<std::pair<const char*, RootNames>> roots;
        const char* path;
        size_t exact_from;
    };
    const Case cases[] = {
        {{}, "src\\a", NO_EXACT_NAMES},
        {{{"src\\", NAMES_FROM_SEARCHES}}, "src\\a", 4},
        {{{"src\\", NAMES_FROM_SEARCHES}}, "SRC\\A", NO_EXACT_NAMES},
        {{{"src\\", NAMES_FROM_SEARCHES}, {"SRC\\", NAMES_AS_TYPED}}, "SRC\\A", NO_EXACT_NAMES},
        {{{"", NAMES_FROM_SEARCHES}, {"SRC\\", NAMES_AS_TYPED}}, "SRC\\A", NO_EXACT_NAMES},
        {{{"", NAMES_FROM_SEARCHES}, {"SRC\\", NAMES_AS_TYPED}}, "dst\\a", 0},
        {{{"", NAMES_FROM_SEARCHES}, {"", NAMES_AS_TYPED}}, "src\\a", NO_EXACT_NAMES},
        {{{"", NAMES_AS_TYPED}, {"dst\\", NAMES_FROM_SEARCHES}}, "dst\\src\\a", 4},
        {{{"", NAMES_FROM_SEARCHES}}, "Z:\\home\\a", NO_EXACT_NAMES},
        {{{"", NAMES_FROM_SEARCHES}}, "\\home\\a", NO_EXACT_NAMES},
        {{{"..\\", NAMES_FROM_SEARCHES}, {"..\\", NAMES_AS_TYPED}}, "..\\SRC\\A", NO_EXACT_NAMES},
    };
    for (const Case& c : cases) {
        forget_path_roots();
        for (const auto& [root, names] : c.roots)
            register_path_root(root, strlen(root), names);
        EXPECT_EQ(exact_names_offset(c.path, strlen(c.path)), c.exact_from) << c.path;
    }
    forget_path_roots();
}

// A file read or deleted while its directory is searched is the one in the directory
// the search reads, even when another program has meanwhile put another directory at
// that path: an entry the program never saw is never touched.
TEST(SearchedNames, a_file_is_read_and_deleted_in_the_directory_being_searched)
{
    TempTree tree;
    tree.file("walked/f", "seen");
    tree.file("other/f", "never seen");
    const std::string root = tree.windows() + "\\";
    register_path_root(root.c_str(), root.size(), NAMES_FROM_SEARCHES);
    WIN32_FIND_DATAA record;
    HANDLE search = FindFirstFileA((root + "walked\\*").c_str(), &record);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    while (std::string(record.cFileName) != "f")
        ASSERT_TRUE(FindNextFileA(search, &record));
    ASSERT_EQ(rename(tree.host("walked").c_str(), tree.host("moved").c_str()), 0);
    ASSERT_EQ(rename(tree.host("other").c_str(), tree.host("walked").c_str()), 0);
    HANDLE file = CreateFileA((root + "walked\\f").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    char contents[16];
    DWORD length = 0;
    EXPECT_TRUE(ReadFile(file, contents, sizeof contents, &length, nullptr));
    CloseHandle(file);
    EXPECT_EQ(std::string(contents, length), "seen");
    EXPECT_TRUE(DeleteFileA((root + "walked\\f").c_str()));
    FindClose(search);
    forget_path_roots();
    EXPECT_FALSE(tree.exists("moved/f"));
    EXPECT_TRUE(tree.exists("walked/f"));
}
