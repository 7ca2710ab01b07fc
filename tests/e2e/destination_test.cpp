// The destination of /C, /U, /V and /RV as the driver resolves it before the walk.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/run_program.h"

// A destination that is missing is made for a copy or an update, but not when it ends
// in '\' (taken as it stands) nor for verify; one that cannot be made ends the run with 0.
TEST(Destination, is_refused_made_or_taken_as_it_stands)
{
    const std::string same = "Source and destination are same directory.\n";
    struct Case {
        std::vector<std::string> arguments;
        std::string out;  // its beginning
        int exit_code;
        const char* made;  // a directory the run makes, or nullptr
    };
    const Case cases[] = {
        {{"/C"}, same, 0, nullptr},
        {{"/U", "*.txt"}, same, 0, nullptr},
        {{"/RV", "a.txt", ".\\"}, same, 0, nullptr},
        {{"/C", "sub\\*", "SUB"}, same, 0, nullptr},
        {{"/V"}, "", 0, nullptr},
        {{"/CI", "src", "new"}, "Create directory new\nCreate directory new\\src\ncreate file      new\\src\\a\n", 1, "new/src"},
        {{"/CI", "src", "sub"}, "Create directory sub\\src\ncreate file      sub\\src\\a\n", 1, "sub/src"},
        {{"/CI", "src", "gone\\"}, "Create directory gone\\src\nCannot create directory!(3/0x3)\n", 0, nullptr},
        {{"/V", "src", "gone"}, "Verify directory gone\\src is not found.\nVerify file      gone\\src\\a is not found.\n",
         0, nullptr},
        {{"/C", "src", "no\\such\\place"}, "Create directory no\\such\\place\nCannot create directory!(3/0x3)\n", 0,
         nullptr},
        {{"/C", "src", "a.txt"}, "Create directory a.txt\nCannot create directory!(183/0xB7)\n", 0, nullptr},
    };
    for (const Case& c : cases) {
        const std::string label = c.arguments[0] + " " + c.arguments.back();
        TempTree tree;
        tree.file("a.txt", "x");
        tree.file("src/a", "x");
        tree.directory("sub");
        const std::string before = snapshot(tree.path());
        const RunResult result = run_orva(c.arguments, tree.path());
        EXPECT_EQ(result.out.substr(0, c.out.size()), c.out) << label << "\n" << result.out;
        EXPECT_EQ(result.exit_code, c.exit_code) << label;
        if (c.made != nullptr) {
            EXPECT_EQ(file_contents(tree.host(std::string(c.made) + "/a")), "x") << label;
        } else {
            EXPECT_EQ(snapshot(tree.path()), before) << label;
        }
    }
}

TEST(Destination, an_absolute_destination_is_made_and_shown_as_given)
{
    TempTree tree;
    tree.file("src/a", "x");
    const std::string absolute = tree.windows("other");
    const RunResult update = run_orva({"/UI", "src", absolute}, tree.path());
    EXPECT_EQ(update.out, "Create directory " + absolute + "\nCreate directory " + absolute + "\\src\n" +
                              "create file      " + absolute + "\\src\\a\n");
    EXPECT_EQ(file_contents(tree.host("other/src/a")), "x");
}
