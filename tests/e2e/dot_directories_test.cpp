// "." and ".." as the last component of a path: the contents of the directory they name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/run_program.h"

// 2008-09-12 10:11:12 UTC.
static const long long SEPT_12 = 1221214272;

static std::string file_line(const std::string& path)
{
    return "a-----             1 08-09-12 10:11:12.00 " + path + "\n";
}

static std::string directory_line(const std::string& path)
{
    return "-d----               08-09-12 10:11:12.00 " + path + "\n";
}

// The listing of w (a.txt, sub\b.txt, sub\deep\c.txt) under the prefix it is reached by.
static std::string contents_of_w(const std::string& prefix)
{
    return file_line(prefix + "a.txt") + directory_line(prefix + "sub") + file_line(prefix + "sub\\b.txt") +
           directory_line(prefix + "sub\\deep") + file_line(prefix + "sub\\deep\\c.txt");
}

static std::string copy_of_w(const std::string& destination)
{
    return "Create directory " + destination + "\ncreate file      " + destination + "\\a.txt\nCreate directory " +
           destination + "\\sub\ncreate file      " + destination + "\\sub\\b.txt\nCreate directory " +
           destination + "\\sub\\deep\ncreate file      " + destination + "\\sub\\deep\\c.txt\n";
}

TEST(DotDirectories, a_source_ending_in_a_dot_component_is_the_contents_of_the_directory_it_names)
{
    const struct { std::string cwd; std::vector<std::string> arguments; std::string out; int exit_code; } cases[] = {
        {"w", {"."}, contents_of_w(".\\"), 3},
        {"w", {".\\"}, contents_of_w(".\\"), 3},
        {"w/sub", {".."}, contents_of_w("..\\"), 3},
        {"w/sub", {"..\\"}, contents_of_w("..\\"), 3},
        {"w/sub/deep", {"..\\.."}, contents_of_w("..\\..\\"), 3},
        {"w", {"sub\\."}, file_line("sub\\.\\b.txt") + directory_line("sub\\.\\deep") +
                              file_line("sub\\.\\deep\\c.txt"), 2},
        {"w", {"sub\\.."}, contents_of_w("sub\\..\\"), 3},
        {"w", {"/CI", ".", "..\\bak"}, copy_of_w("..\\bak"), 3},
        {"w/sub", {"/CI", "..", "..\\..\\bak"}, copy_of_w("..\\..\\bak"), 3},
        {"w", {"/CI", ".", "sub"}, "Destination directory is inside source directory.\n", 0},
        {"w", {"/CI", ".", "."}, "Source and destination are same directory.\n", 0},
        {"w", {"/CI", "sub", "."}, "Source and destination are same directory.\n", 0},
        // A destination "." or ".." is the directory it names, as it always was.
        {"w/sub", {"/CI", "/0", "..\\a.txt", "."}, "create file      .\\a.txt\n", 1},
        {"w/sub", {"/CI", "/0", "b.txt", ".."}, "create file      ..\\b.txt\n", 1},
    };
    for (const auto& c : cases) {
        TempTree tree;
        tree.files_at({{"w/a.txt", "a"}, {"w/sub/b.txt", "b"}, {"w/sub/deep/c.txt", "c"}}, SEPT_12);
        const RunResult result = run_orva(c.arguments, tree.path() + "/" + c.cwd);
        EXPECT_EQ(result.out, c.out) << "case " << &c - cases;
        EXPECT_EQ(result.err, "") << "case " << &c - cases;
        EXPECT_EQ(result.exit_code, c.exit_code) << "case " << &c - cases;
        if (c.out.starts_with("Create directory")) {
            EXPECT_EQ(file_contents(tree.path() + "/bak/sub/deep/c.txt"), "c") << "case " << &c - cases;
        }
    }
}
