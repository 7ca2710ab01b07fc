// The tree display (/T) and the size summation (/S) end to end: margins, names, size lines, exit codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/known_differences.h"
#include "e2e/run_program.h"

class TreeAndSize : public testing::Test {
protected:
    RunResult run(const std::vector<std::string>& arguments) { return run_orva(arguments, tree.path()); }
    TempTree tree;
};

// Every entry is written 2008-09-12 10:11:12 UTC. A directory source is its own first line,
// alone at layer 0; the layer limit stops the drawing at the directories it does not
// enter; b.txt is not the last line though the pattern refuses z.dat after it; short names
// fill a twelve-character field; directories outside the /P directory draw nothing, so the
// first line lies at layer 1, at the left edge, and what follows keeps its true layer. The
// sizes: a running total per file in bytes or in clusters, a partly used cluster counted
// whole, the total alone; the exit code is the total capped at 254, from all 64 bits.
TEST_F(TreeAndSize, tree_drawings_and_size_lines_of_the_golden_cases)
{
    tree.files_at({{"src/a.txt", "hello"}, {"src/b1/b.txt", "12"}, {"src/b1/sub/deep.txt", ""}, {"src/c.txt", "xyz"},
                   {"pat/a.txt", ""}, {"pat/b.txt", ""}, {"pat/z.dat", ""},
                   {"short/a.txt", ""}, {"short/Long File Name.text", ""}, {"short/noext", ""},
                   {"p/other/x.txt", ""}, {"p/zone/pick/in.txt", ""}, {"p/zone/pick/inner/y.txt", ""},
                   {"p/zone/top.txt", ""},
                   {"sizes/f0", ""}, {"sizes/f1", "x"}, {"sizes/f4097", std::string(4097, 'x')}, {"sizes/sub/empty", ""}},
                  1221214272);
    tree.sparse("five/big", 5000000000LL);
    expect_golden_cases("tree_and_size.txt", tree.path());
}

// Each layer's column follows its own directory, also far beyond 32 or 64 layers: only
// the directories at layers divisible by 3 have an entry after their subdirectory.
TEST_F(TreeAndSize, columns_stay_right_three_hundred_layers_down)
{
    const int layers = 300;
    std::string path = "src";
    for (int layer = 0; layer < layers; layer++) {
        if (layer % 3 == 0)
            tree.file(path + "/z");
        path += "/d";
        tree.directory(path);
    }
    tree.file(path + "/end.txt");
    const RunResult result = run({"/T", "src\\"});
    std::string margin;
    for (int layer = 0; layer < layers; layer++)
        margin += layer % 3 == 0 ? " |  " : "    ";
    EXPECT_EQ(result.out.substr(0, 8), "-+- d   ");
    if (differs(PATHS_PAST_MAX_PATH)) {
        EXPECT_EQ(result.out.find("end.txt"), std::string::npos) << "not reached under Wine";
        return;
    }
    EXPECT_NE(result.out.find("\n" + margin + " +- end.txt        "), std::string::npos);
    // The z of layer 297 closes its directory: the columns above it continue.
    EXPECT_NE(result.out.find("\n" + margin.substr(0, 297 * 4) + " +- z        "), std::string::npos);
    EXPECT_EQ(result.out.rfind("\n +- z        "), result.out.rfind('\n', result.out.size() - 2));
}
