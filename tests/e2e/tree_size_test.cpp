// The tree display (/T) and the size summation (/S) end to end: margins, names, size lines, exit codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/known_differences.h"
#include "e2e/run_program.h"

// 2008-09-12 10:11:12 UTC, the time every entry of these trees is given.
static const long long SEPT_12 = 1221214272;

static std::string file_facts(const std::string& size)
{
    return "        a----- 08-09-12 10:11:12 " + size + " \n";
}

static std::string directory_facts(const std::string& tail = "")
{
    return "        -d---- 08-09-12 10:11:12 " + tail + "\n";
}

static std::string right(const std::string& text, size_t width)
{
    return std::string(width - text.size(), ' ') + text;
}

class TreeAndSize : public testing::Test {
protected:
    void files(std::initializer_list<std::pair<std::string, std::string>> entries)
    {
        tree.files_at(entries, SEPT_12);
    }
    RunResult run(const std::vector<std::string>& arguments) { return run_orva(arguments, tree.path()); }
    TempTree tree;
};

// A directory source is its own first line, alone at layer 0; the layer limit stops the
// drawing at the directories it does not enter; b.txt is not the last line though the
// pattern refuses z.dat after it.
TEST_F(TreeAndSize, tree_draws_every_connector_and_stops_at_the_layer_limit)
{
    files({{"src/a.txt", "hello"}, {"src/b1/b.txt", "12"}, {"src/b1/sub/deep.txt", ""}, {"src/c.txt", "xyz"},
           {"pat/a.txt", ""}, {"pat/b.txt", ""}, {"pat/z.dat", ""}});
    const struct { std::vector<std::string> arguments; std::string expected; } cases[] = {
        {{"/T", "src\\"}, "-+- a.txt" + file_facts("5") + " |- b1" + directory_facts() + " |   |- b.txt" +
                              file_facts("2") + " |   +- sub" + directory_facts() + " |       +- deep.txt" +
                              file_facts("0") + " +- c.txt" + file_facts("3")},
        {{"/T", "/1", "src"}, "--- src" + directory_facts() + "     |- a.txt" + file_facts("5") + "     |- b1" +
                                  directory_facts("---not displayed") + "     +- c.txt" + file_facts("3")},
        {{"/T", "/0", "src"}, "--- src" + directory_facts("---not displayed")},
        {{"/T", "pat\\*.txt"}, "-+- a.txt" + file_facts("0") + " |- b.txt" + file_facts("0")},
    };
    for (const auto& c : cases) {
        const RunResult result = run(c.arguments);
        EXPECT_EQ(result.out, c.expected) << c.arguments[1];
        EXPECT_EQ(result.err, "");
    }
    EXPECT_EQ(run({"/T", "src\\"}).exit_code, 4);
}

TEST_F(TreeAndSize, short_names_fill_a_twelve_character_field)
{
    files({{"src/a.txt", ""}, {"src/Long File Name.text", ""}, {"src/noext", ""}});
    EXPECT_EQ(aliases_blurred(run({"/T", "/L0", "src\\"}).out),
              aliases_blurred("-+- A       .TXT" + file_facts("0") + " |- LONGFI~1.TEX" + file_facts("0") +
                              " +- NOEXT       " + file_facts("0")));
}

// Directories outside the /P directory draw nothing, so the first line lies at layer 1,
// at the left edge; what follows it keeps its true layer.
TEST_F(TreeAndSize, first_line_below_layer_zero_has_no_margin)
{
    files({{"src/other/x.txt", ""}, {"src/zone/pick/in.txt", ""}, {"src/zone/pick/inner/y.txt", ""},
           {"src/zone/top.txt", ""}});
    EXPECT_EQ(run({"/T", "/P='pick'", "src\\"}).out, "-+- pick" + directory_facts() + "     |   |- in.txt" +
                                                         file_facts("0") + "     |   +- inner" + directory_facts() +
                                                         "     |       +- y.txt" + file_facts("0"));
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

// A running total per file in bytes or in clusters, a partly used cluster counted whole;
// the total alone; the exit code is the total capped at 254, taken from all 64 bits.
TEST_F(TreeAndSize, size_lines_and_the_total_alone)
{
    files({{"src/f0", ""}, {"src/f1", "x"}, {"src/f4097", std::string(4097, 'x')}, {"src/sub/empty", ""}});
    tree.sparse("five/big", 5000000000LL);
    const std::string bytes = " bytes ", clusters = " clusters/ 4Kbytes ";
    const struct { std::vector<std::string> arguments; std::string expected; int exit_code; } cases[] = {
        {{"/S", "src\\"}, right("0", 15) + bytes + "src\\f0\n" + right("1", 15) + bytes + "src\\f1\n" +
                              right("4,098", 15) + bytes + "src\\f4097\n" + right("4,098", 15) + bytes +
                              "src\\sub\\empty\n", 254},
        {{"/S4", "/L0", "src\\"}, right("0", 11) + clusters + "SRC\\F0\n" + right("1", 11) + clusters + "SRC\\F1\n" +
                                      right("3", 11) + clusters + "SRC\\F4097\n" + right("3", 11) + clusters +
                                      "SRC\\SUB\\EMPTY\n", 3},
        {{"/ST0.5", "src\\"}, right("10", 11) + " clusters/.5Kbytes \n", 10},
        {{"/ST", "src\\*.none"}, right("0", 15) + bytes + "\n", 0},
        {{"/ST", "five\\"}, right("5,000,000,000", 15) + bytes + "\n", 254},
        {{"/ST32", "src\\*.none"}, right("0", 11) + " clusters/32Kbytes \n", 0},
    };
    for (const auto& c : cases) {
        const RunResult result = run(c.arguments);
        EXPECT_EQ(result.out, c.expected) << c.arguments[0];
        EXPECT_EQ(result.exit_code, c.exit_code) << c.arguments[0];
    }
}
