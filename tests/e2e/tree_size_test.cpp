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

class TreeAndSize : public testing::Test {
protected:
    // Files with their contents; every entry on their way gets the known time.
    void files(std::initializer_list<std::pair<std::string, std::string>> entries)
    {
        tree.files_at(entries, SEPT_12);
    }
    // a.txt, the directory b1 (b.txt and sub with deep.txt), c.txt.
    void fill()
    {
        files({{"src/a.txt", "hello"}, {"src/b1/b.txt", "12"}, {"src/b1/sub/deep.txt", ""}, {"src/c.txt", "xyz"}});
    }
    RunResult run(const std::vector<std::string>& arguments) { return run_orva(arguments, tree.path()); }
    TempTree tree;
};

TEST_F(TreeAndSize, tree_draws_every_connector)
{
    fill();
    const RunResult result = run({"/T", "src\\"});
    EXPECT_EQ(result.out, "-+- a.txt" + file_facts("5") +
                              " |- b1" + directory_facts() +
                              " |   |- b.txt" + file_facts("2") +
                              " |   +- sub" + directory_facts() +
                              " |       +- deep.txt" + file_facts("0") +
                              " +- c.txt" + file_facts("3"));
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exit_code, 4);
}

// A directory source is its own first line, alone at layer 0; the layer limit stops
// the drawing at the directories it does not enter.
TEST_F(TreeAndSize, directory_source_and_layer_limit)
{
    fill();
    const struct { const char* limit; std::string expected; } cases[] = {
        {"/512", "--- src" + directory_facts() + "     |- a.txt" + file_facts("5") + "     |- b1" + directory_facts() +
                     "     |   |- b.txt" + file_facts("2") + "     |   +- sub" + directory_facts() +
                     "     |       +- deep.txt" + file_facts("0") + "     +- c.txt" + file_facts("3")},
        {"/1", "--- src" + directory_facts() + "     |- a.txt" + file_facts("5") + "     |- b1" +
                   directory_facts("---not displayed") + "     +- c.txt" + file_facts("3")},
        {"/0", "--- src" + directory_facts("---not displayed")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run({"/T", c.limit, "src"}).out, c.expected) << c.limit;
}

TEST_F(TreeAndSize, even_list_mode_shows_short_names_in_a_twelve_character_field)
{
    files({{"src/a.txt", ""}, {"src/Long File Name.text", ""}, {"src/noext", ""}});
    EXPECT_EQ(aliases_blurred(run({"/T", "/L0", "src\\"}).out),
              aliases_blurred("-+- A       .TXT" + file_facts("0") + " |- LONGFI~1.TEX" + file_facts("0") +
                              " +- NOEXT       " + file_facts("0")));
}

// The look-ahead sees z.dat, which the pattern then refuses: b.txt does not learn that
// it is the last line.
TEST_F(TreeAndSize, file_refused_by_the_pattern_still_counts_as_following)
{
    files({{"src/a.txt", ""}, {"src/b.txt", ""}, {"src/z.dat", ""}});
    EXPECT_EQ(run({"/T", "src\\*.txt"}).out, "-+- a.txt" + file_facts("0") + " |- b.txt" + file_facts("0"));
}

// Directories outside the /P directory draw nothing, so the first line lies at layer 1,
// at the left edge; what follows it keeps its true layer.
TEST_F(TreeAndSize, first_line_below_layer_zero_has_no_margin)
{
    files({{"src/other/x.txt", ""}, {"src/zone/pick/in.txt", ""}, {"src/zone/pick/inner/y.txt", ""},
           {"src/zone/top.txt", ""}});
    EXPECT_EQ(run({"/T", "/P='pick'", "src\\"}).out, "-+- pick" + directory_facts() +
                                                         "     |   |- in.txt" + file_facts("0") +
                                                         "     |   +- inner" + directory_facts() +
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
    const std::string bottom = margin + " +- end.txt        ";
    EXPECT_EQ(result.out.substr(0, 8), "-+- d   ");
    if (differs(PATHS_PAST_MAX_PATH)) {
        EXPECT_EQ(result.out.find("end.txt"), std::string::npos) << "not reached under Wine";
        return;
    }
    EXPECT_NE(result.out.find("\n" + bottom), std::string::npos) << result.out.substr(result.out.size() - 3000);
    // The z of layer 297 closes its directory: the columns above it continue.
    const std::string last_z = margin.substr(0, 297 * 4) + " +- z        ";
    EXPECT_NE(result.out.find("\n" + last_z), std::string::npos);
    EXPECT_EQ(result.out.rfind("\n +- z        "), result.out.rfind('\n', result.out.size() - 2));
}

// Files of 0, 1, 4096 and 4097 bytes, and a directory, which adds nothing and has no line.
TEST_F(TreeAndSize, size_lines_for_every_unit)
{
    files({{"src/f0", ""}, {"src/f1", "x"}, {"src/f4096", std::string(4096, 'x')}, {"src/f4097", std::string(4097, 'x')},
           {"src/sub/empty", ""}});
    const auto lines = [](const std::vector<std::string>& totals, const std::string& unit, bool short_form = false) {
        const char* const paths[] = {"src\\f0", "src\\f1", "src\\f4096", "src\\f4097", "src\\sub\\empty"};
        const char* const short_paths[] = {"SRC\\F0", "SRC\\F1", "SRC\\F4096", "SRC\\F4097", "SRC\\SUB\\EMPTY"};
        std::string text;
        for (size_t i = 0; i < totals.size(); i++)
            text += totals[i] + unit + (short_form ? short_paths[i] : paths[i]) + "\n";
        return text;
    };
    const std::string b10(10, ' ');
    const struct { std::vector<std::string> arguments; std::string expected; int exit_code; } cases[] = {
        {{"/S"},
         lines({"              0", "              1", "          4,097", "          8,194", "          8,194"}, " bytes "),
         254},
        {{"/S0.5"}, lines({b10 + "0", b10 + "1", b10 + "9", "         18", "         18"}, " clusters/.5Kbytes "), 18},
        {{"/S4"}, lines({b10 + "0", b10 + "1", b10 + "2", b10 + "4", b10 + "4"}, " clusters/ 4Kbytes "), 4},
        {{"/S16"}, lines({b10 + "0", b10 + "1", b10 + "2", b10 + "3", b10 + "3"}, " clusters/16Kbytes "), 3},
        {{"/S32", "/L0"}, lines({b10 + "0", b10 + "1", b10 + "2", b10 + "3", b10 + "3"}, " clusters/32Kbytes ", true),
         3},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back("src\\");
        const RunResult result = run(arguments);
        EXPECT_EQ(result.out, c.expected) << c.arguments[0];
        EXPECT_EQ(result.exit_code, c.exit_code) << c.arguments[0];
    }
}

// The total alone, also of nothing; the exit code is the total capped at 254, taken
// from all 64 bits of it.
TEST_F(TreeAndSize, total_only_prints_one_line_and_exits_with_the_capped_total)
{
    files({{"src/a", std::string(200, 'a')}, {"src/b", std::string(53, 'b')}, {"one/c", std::string(254, 'c')}});
    tree.sparse("four/exactly4g", 4294967296LL);
    tree.sparse("five/big", 5000000000LL);
    const struct { std::vector<std::string> arguments; std::string expected; int exit_code; } cases[] = {
        {{"/ST", "src\\"}, "            253 bytes \n", 253},
        {{"/ST", "one\\"}, "            254 bytes \n", 254},
        {{"/ST", "src\\*.none"}, "              0 bytes \n", 0},
        {{"/ST4", "src\\*.none"}, std::string(10, ' ') + "0 clusters/ 4Kbytes \n", 0},
        {{"/ST", "four\\"}, "  4,294,967,296 bytes \n", 254},
        {{"/ST", "five\\"}, "  5,000,000,000 bytes \n", 254},
        {{"/ST4", "five\\"}, "  1,220,704 clusters/ 4Kbytes \n", 254},
    };
    for (const auto& c : cases) {
        const RunResult result = run(c.arguments);
        EXPECT_EQ(result.out, c.expected) << c.arguments[0] << " " << c.arguments[1];
        EXPECT_EQ(result.exit_code, c.exit_code) << c.arguments[0] << " " << c.arguments[1];
    }
}
