// Names Windows would take for one (README and readme, a name that is another file's
// 8.3 alias): on Linux every operation treats each as a file of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "e2e/run_program.h"

using Files = std::map<std::string, std::string>;

// Two entries of src, the first of them first in the walk. Each file holds its own
// name; a twin directory holds it in its file f.
struct Layout {
    const char* twins[2];
    bool directories;
};

static const Layout LAYOUTS[] = {
    {{"README", "readme"}, false},
    {{"Index.html", "index.html"}, false},
    {{"Dir", "dir"}, true},
    {{"abcdefghij.txt", "ABCDEF~1.TXT"}, false},
};

static std::string file_of(const Layout& layout, int twin)
{
    return std::string(layout.twins[twin]) + (layout.directories ? "/f" : "");
}

// What a run leaves of the source's files and of the destination's, and its exit code.
enum Outcome { COPIED, MOVED, NONE_EQUAL, SOURCE_DELETED, READ_BY_COMMANDS };

struct Letters {
    std::vector<std::string> arguments;
    Outcome outcome;
    int exit_code;
};

static const Letters LETTERS[] = {
    {{"/CI", "src", "dst"}, COPIED, 2},
    {{"/CMI", "src", "dst"}, MOVED, 2},
    {{"/CIR", "src", "dst"}, MOVED, 2},
    {{"/CIRV", "src", "dst"}, MOVED, 2},
    {{"/UI", "src", "dst"}, COPIED, 2},
    {{"/V", "src", "dst"}, NONE_EQUAL, 0},
    {{"/RVI", "src", "dst"}, NONE_EQUAL, 0},
    {{"/RI", "src"}, SOURCE_DELETED, 2},
    {{"/L0", "/RI", "src"}, SOURCE_DELETED, 2},
    {{"/XIN='cat \"$N\" >> out 2>/dev/null'", "src"}, READ_BY_COMMANDS, 2},
};

static Files files_below(const std::string& root)
{
    Files files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().string().substr(root.size() + 1)] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

// The destination holds an older copy of the first twin only, with the second twin's
// contents: the one file a lookup ignoring case or by alias would take for the second.
static Files make_tree(TempTree& tree, const Layout& layout)
{
    const Files source = {{"src/" + file_of(layout, 0), layout.twins[0]},
                          {"src/" + file_of(layout, 1), layout.twins[1]}};
    for (const auto& [path, contents] : source) {
        tree.file(path, contents);
        tree.times(path, 1500000000);
    }
    const std::string old_copy = "dst/src/" + file_of(layout, 0);
    tree.file(old_copy, layout.twins[1]);
    tree.times(old_copy, 1000000000);
    tree.give_to_user();
    return source;
}

static Files expected_files(const Layout& layout, const Letters& letters, const Files& source)
{
    Files expected = source;
    expected["dst/src/" + file_of(layout, 0)] = layout.twins[1];
    if (letters.outcome == NONE_EQUAL)
        return expected;
    if (letters.outcome == READ_BY_COMMANDS) {
        expected["out"] = std::string(layout.twins[0]) + layout.twins[1];
        return expected;
    }
    if (letters.outcome == SOURCE_DELETED) {
        for (const auto& [path, contents] : source)
            expected.erase(path);
        return expected;
    }
    for (const auto& [path, contents] : source)
        expected["dst/" + path] = contents;
    if (letters.outcome == MOVED) {
        for (const auto& [path, contents] : source)
            expected.erase(path);
    }
    return expected;
}

TEST(LinuxNames, twins_and_alias_named_files_stay_files_of_their_own)
{
    for (const Layout& layout : LAYOUTS) {
        for (const Letters& letters : LETTERS) {
            TempTree tree;
            const Files source = make_tree(tree, layout);
            const std::string before = snapshot(tree.path());
            const std::string source_before = snapshot(tree.path() + "/src");
            const RunResult result = run_orva_as_user(letters.arguments, tree.path());
            const std::string label = std::string(layout.twins[1]) + " " + letters.arguments[0] + " " +
                                      letters.arguments[1] + "\n" + result.out + result.err;
            EXPECT_EQ(result.exit_code, letters.exit_code) << label;
            EXPECT_EQ(files_below(tree.path()), expected_files(layout, letters, source)) << label;
            if (letters.outcome == NONE_EQUAL) {
                EXPECT_EQ(snapshot(tree.path()), before) << label;
            } else if (letters.outcome == COPIED || letters.outcome == READ_BY_COMMANDS) {
                EXPECT_EQ(snapshot(tree.path() + "/src"), source_before) << label;
            }
        }
    }
}
