// Which entries the listing shows: name patterns, name lists, attributes, dates, layers.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/known_differences.h"
#include "e2e/run_program.h"

// The paths of the listed lines, one a line.
static std::string listed_paths(const std::string& out)
{
    std::istringstream lines(out);
    std::string paths;
    for (std::string line; std::getline(lines, line);)
        paths += (line.size() > 42 ? line.substr(42) : "<" + line + ">") + "\n";
    return paths;
}

class Selection : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* path : {"t/a.txt", "t/b.c", "t/noext", "t/sub/c.txt", "t/sub/d.h", "t/temp/e.txt",
                                 "t/src/f.c", "t/src/deep/g.c", "t/x.txt.dir/h.txt"})
            tree.file(path, "x");
    }
    std::string list(const std::vector<std::string>& arguments) { return listed_paths(run_orva(arguments, tree.path()).out); }
    TempTree tree;
};

TEST_F(Selection, each_filter_takes_the_entries_it_names)
{
    tree.file("h/plain", "x");
    tree.file("h/.secret", "x");
    tree.file("h/.locked", "x", 0444);
    tree.file("dates/before", "x");
    tree.file("dates/on_day", "x");
    tree.file("dates/after", "x");
    tree.times("dates/before", 1221091200 - 1);  // 2008-09-10 23:59:59
    tree.times("dates/on_day", 1221177600 + 60); // 2008-09-12 00:01:00
    tree.times("dates/after", 1221264000);       // 2008-09-13 00:00:00
    tree.times("t/src/f.c", 1221264000);
    // Among the cases: the source's pattern selects by name at every layer,
    // directories included; an excluded directory leaves out its whole subtree, an included
    // one takes only its own; a date range offers directories only inside a directory source.
    expect_golden_cases("selection.txt", tree.path(), listed_paths);
}

TEST_F(Selection, directory_links_are_listed_but_not_entered)
{
    ASSERT_EQ(symlink((tree.path() + "/t/src").c_str(), (tree.path() + "/t/link").c_str()), 0);
    EXPECT_EQ(run_orva({"/0", "t\\link"}, tree.path()).out.substr(0, 6), "-d----");
    EXPECT_EQ(list({"t\\link"}), "t\\link\n");
}

// A name the code page cannot show is not selected (the program could not address it);
// the listing and the exit code are those of the tree without it, and standard error
// says where each one was left alone.
TEST_F(Selection, names_that_cannot_be_shown_are_left_out_with_a_line_on_standard_error)
{
    const std::map<std::string, std::string> single_byte = {{"LC_ALL", "C"}};
    tree.times("t/sub", 1221214272);
    const RunResult before = run_orva({"t\\"}, tree.path(), single_byte);
    tree.file("t/a:b", "x");
    tree.file("t/sub/c|d", "x");
    tree.file("t/sub/e\\f", "x");
    tree.times("t/sub", 1221214272);
    const RunResult after = run_orva({"t\\"}, tree.path(), single_byte);
    if (differs(UNSHOWABLE_NAMES_LISTED)) {
        EXPECT_NE(after.out.find(" t\\sub\\c|d\n"), std::string::npos) << after.out;
        EXPECT_EQ(after.exit_code, before.exit_code + 3);
        return;
    }
    EXPECT_EQ(after.out, before.out);
    EXPECT_EQ(after.exit_code, before.exit_code);
    const std::string directory = tree.windows("t");
    const std::string left = ": an entry whose name cannot be shown here was left alone.\n";
    EXPECT_EQ(after.err, directory + left + directory + "\\sub" + left + directory + "\\sub" + left);
    // Under UTF-8 those three are shown; a name already in the range they are shown in is not.
    tree.file("t/sub/\xef\x80\xba", "x");
    const RunResult utf8 = run_orva({"t\\sub"}, tree.path(), {{"LC_ALL", "ja_JP.UTF-8"}});
    EXPECT_EQ(utf8.err, directory + "\\sub: ここで表示できない名前のエントリを1つ処理せずに残しました.\n");
    // /E makes that line English too, as every other line of the run.
    const RunResult english = run_orva({"/E", "t\\sub"}, tree.path(), {{"LC_ALL", "ja_JP.UTF-8"}});
    EXPECT_EQ(english.err, directory + "\\sub" + left);
}

// One-letter names from a relative source keep 513 layers within the path buffer: the
// file at layer 511 is listed where a path may be that long, and layer 510 holds the last
// directory /510 enters. Below d the path outgrows the buffer before the leaf.
TEST(DeepTrees, the_layer_limit_and_paths_past_the_buffer)
{
    TempTree tree;
    std::string path = "d";
    for (int i = 1; i < 520; i++) {
        path += "/d";
        if (i == 510)
            tree.file("e" + path.substr(1) + "/f", "x");
    }
    tree.file(path + "/leaf", "x");
    const RunResult result = run_orva({"d"}, tree.path());
    EXPECT_EQ(result.out.find("is too long!\n") != std::string::npos, !differs(PATHS_PAST_MAX_PATH));
    EXPECT_EQ(result.out.find("leaf"), std::string::npos);
    EXPECT_LT(result.exit_code, 255);
    EXPECT_EQ(run_orva({"/0", "e"}, tree.path()).exit_code, 0);
    EXPECT_EQ(run_orva({"e"}, tree.path()).exit_code, differs(PATHS_PAST_MAX_PATH) ? 0 : 1);
    EXPECT_EQ(run_orva({"/510", "e"}, tree.path()).exit_code, 0);
}
