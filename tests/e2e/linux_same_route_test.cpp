// Links and other routes end to end, as an ordinary user on a tree of his own: every
// operation copies, moves, compares, changes and deletes a link as a link, as cp -a and
// rsync -a do, and nothing outside the named tree changes, whatever the links lead to. A
// destination that is the source by another route (a link, a bind mount, an 8.3 alias, a
// mapped drive, a link inside the destination, a current directory reached through a
// link) or lies inside it loses nothing of the source, whatever the letters.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "e2e/run_program.h"

// Two files in src and, beside it, other routes to it; a file outside it is read-only,
// as a git object is. With links, src also holds links to files and directories inside
// it, outside it (by a relative and an absolute target) and nowhere, with their own times.
static void build_tree(TempTree& tree, bool with_links)
{
    tree.file("src/a.txt", "alpha");
    tree.file("src/sub/b.txt", "beta");
    tree.file("outside/f.txt", "outside", 0444);
    tree.times("outside/f.txt", 1100000000);
    tree.file("outside/d/g.txt", "outside too");
    tree.file("longdirectoryname/c.txt", "alias");
    tree.link("link", "src");
    tree.link("back/src", "../src");
    tree.link("filelinks/src/a.txt", "../../src/a.txt");
    tree.link("filelinks/src/sub/b.txt", "../../../src/sub/b.txt");
    // Deeper in a destination: the same file by a second name, a source directory by a link.
    tree.directory("deep/src");
    if (::link(tree.host("src/a.txt").c_str(), tree.host("deep/src/a.txt").c_str()) != 0)
        throw std::runtime_error("link failed");
    tree.link("deep/src/sub", "../../src/sub");
    tree.directory("mnt");
    const std::pair<const char*, std::string> links[] = {
        {"file_in", "a.txt"}, {"file_out", "../outside/f.txt"}, {"file_abs", tree.host("outside/f.txt")},
        {"dir_in", "sub"},    {"dir_out", "../outside/d"},      {"z_dangling", "nowhere"},
    };
    for (const auto& [name, target] : links) {
        if (with_links) {
            tree.link(std::string("src/") + name, target);
            tree.times(std::string("src/") + name, 1000000000, 123456700);
        }
    }
    tree.give_to_user();
}

static RunResult run_as_user(const std::vector<std::string>& arguments, const TempTree& tree)
{
    return run_orva_as_user(arguments, tree.path());
}

// The links of a snapshot, one line each: path, mode, size, own write time and target,
// without the stored attributes that the snapshot reads through the link.
static std::string link_lines(const std::string& snapshot_text)
{
    std::istringstream lines(snapshot_text);
    std::string line, links;
    while (std::getline(lines, line)) {
        const size_t target = line.find(" -> ");
        if (target != std::string::npos)
            links += line.substr(0, line.rfind(" [", target)) + line.substr(target) + "\n";
    }
    return links;
}

// The text with every whole field old replaced by new_text.
static std::string replaced(std::string text, const std::string& old, const std::string& new_text)
{
    for (size_t at = text.find(" " + old + " "); at != std::string::npos;
         at = text.find(" " + old + " ", at + 1 + new_text.size()))
        text.replace(at + 1, old.size(), new_text);
    return text;
}

// The changes and the deletion; the random trees check copies, updates, verifies and
// moves of links. Directory links count as directories do.
TEST(LinuxLinks, changes_and_deletion_act_on_links_and_never_through_them)
{
    struct Case {
        std::vector<std::string> arguments;
        const char* date;  // the links' own time after the run, "" when src is gone
    };
    const Case cases[] = {
        {{"/+RI", "src"}, "1000000000.123456700"},
        {{"/-AI", "src"}, "1000000000.123456700"},
        {{"/DI2001-01-01,00:00:00.000", "src"}, "978307200.0"},
        {{"/RI", "src"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[0]);
        TempTree tree;
        build_tree(tree, true);
        const std::string source = snapshot(tree.host("src")), outside = snapshot(tree.host("outside"));
        const RunResult result = run_as_user(c.arguments, tree);
        EXPECT_EQ(result.exit_code, 6) << result.out;
        EXPECT_EQ(result.out.find('!'), std::string::npos) << "a failure:\n" << result.out;
        EXPECT_EQ(snapshot(tree.host("outside")), outside);
        if (*c.date == '\0') {
            EXPECT_FALSE(tree.exists("src"));
        } else {
            EXPECT_EQ(link_lines(snapshot(tree.host("src"))), replaced(link_lines(source), "1000000000.123456700", c.date));
        }
    }
}

namespace {

struct Layout {
    const char* name;
    const char* source;
    const char* destination;
    const char* cwd;  // relative to the tree
    std::map<std::string, std::string> env;
    // What the run says: the refusal before the walk, or ITSELF for entries refused one by one.
    const char* says;
};

const char* const SAME = "Source and destination are same directory.\n";
const char* const INSIDE = "Destination directory is inside source directory.\n";
const char* const ITSELF = "is the source file itself!";

class LinuxSameRoute : public ::testing::Test {
protected:
    void SetUp() override { build_tree(tree, false); }
    RunResult run(const std::string& letters, const Layout& layout)
    {
        std::map<std::string, std::string> env = layout.env;
        for (auto& [name, value] : env)
            value = tree.path() + value;
        return run_orva_as_user({letters, layout.source, layout.destination}, tree.path() + "/" + layout.cwd, env);
    }
    // Whatever the letters, nothing changes, and the refusal comes before the walk.
    void expect_nothing_lost(const std::vector<Layout>& layouts)
    {
        const std::string before = snapshot(tree.path());
        for (const Layout& layout : layouts) {
            for (const char* letters : {"/CIE", "/UIE", "/CMIE", "/CIRE", "/UIRE", "/CIVE", "/RVIE"}) {
                const RunResult result = run(letters, layout);
                const std::string where = std::string(layout.name) + " " + letters;
                EXPECT_EQ(snapshot(tree.path()), before) << where << "\n" << result.out << result.err;
                const bool refused = layout.says != ITSELF;
                const bool copies = letters[1] != 'R';
                if (refused && (copies || layout.says == SAME)) {
                    EXPECT_EQ(result.out, layout.says) << where;
                }
                EXPECT_EQ(result.err, "") << where;
            }
        }
    }
    TempTree tree;
};

class LinuxSameRouteAsRoot : public LinuxSameRoute {};

}  // namespace

TEST_F(LinuxSameRoute, a_destination_reached_by_another_route_deletes_nothing_for_any_letters)
{
    expect_nothing_lost({
        {"a link to the source", "src\\", "link", ".", {}, SAME},
        {"an 8.3 alias of the source", "longdirectoryname\\", "LONGDI~1", ".", {}, SAME},
        {"a drive mapped to the source", "src\\", "D:", ".", {{"ORVA_DRIVE_D", "/src"}}, SAME},
        {"a drive mapped to its parent", "src", "D:", ".", {{"ORVA_DRIVE_D", ""}}, SAME},
        {"the current directory through a link", "..\\link\\", ".", "link", {}, SAME},
        {"the source's namesake links back", "src", "back", ".", {}, SAME},
        {"files and directories deeper in the destination", "src", "deep", ".", {}, ITSELF},
        {"a link inside the source", "src", "link", ".", {}, INSIDE},
    });
}

TEST_F(LinuxSameRouteAsRoot, a_bind_mount_of_the_source_deletes_nothing_for_any_letters)
{
    REQUIRE_ROOT();
    ASSERT_EQ(mount(tree.host("src").c_str(), tree.host("mnt").c_str(), nullptr, MS_BIND, nullptr), 0);
    expect_nothing_lost({{"a bind mount of the source", "src\\", "mnt", ".", {}, SAME}});
    umount2(tree.host("mnt").c_str(), MNT_DETACH);
}

// The file that is its own source fails as an entry: the run follows E, as for any failure.
TEST_F(LinuxSameRoute, a_destination_file_that_is_its_source_fails_its_entry)
{
    const Layout layout = {"", "src", "deep", ".", {}, ITSELF};
    const std::string a = "deep\\src\\a.txt", b = "deep\\src\\sub\\b.txt";
    const auto itself = [](const std::string& path) { return "\nDestination file " + path + " is the source file itself!"; };
    const struct { const char* letters; std::string out; int exit_code; } cases[] = {
        {"/CIE", "update file      " + a + itself(a) + "\nupdate file      " + b + itself(b) + "\n", 2},
        {"/CI", "update file      " + a + itself(a), 1},
        {"/CMIE", "update file      " + a + itself(a) + "\nupdate file      " + b + itself(b) + "\n", 2},
        {"/VE",
         "Verify directory deep\\src is exist.\nVerify file      " + a + " " + itself(a) +
             "\nVerify directory deep\\src\\sub is different.\nVerify file      " + b + " " + itself(b) + "\n",
         0},
        {"/VNVE",
         "Verify file      " + a + " " + itself(a) + "\nVerify directory deep\\src\\sub is different.\n" +
             "Verify file      " + b + " " + itself(b) + "\n",
         0},
        {"/RVIE",
         "delete file      src\\a.txt" + itself(a) + "\ndelete file      src\\sub\\b.txt" + itself(b) +
             "\ndelete directory src\\sub\nDelete directory src\\sub failed!\n"
             "delete directory src\nDelete directory src failed!\n",
         0},
        {"/RVI", "delete file      src\\a.txt" + itself(a), 0},
    };
    for (const auto& c : cases) {
        const std::string before = snapshot(tree.path());
        const RunResult result = run(c.letters, layout);
        EXPECT_EQ(result.out, c.out) << c.letters;
        EXPECT_EQ(result.exit_code, c.exit_code) << c.letters;
        EXPECT_EQ(snapshot(tree.path()), before) << c.letters;
    }
}

// A destination file that is a link to its source is another entry: replaced by a copy, or
// found different, never taken for the source's copy.
TEST_F(LinuxSameRoute, a_destination_link_to_its_source_is_not_its_copy)
{
    const Layout layout = {"", "src", "filelinks", ".", {}, nullptr};
    const std::string source = snapshot(tree.path() + "/src");
    RunResult result = run("/RVIE", layout);
    EXPECT_EQ(result.exit_code, 0) << result.out;
    EXPECT_EQ(count_of(result.out, "different."), 2) << result.out;
    result = run("/CIE", layout);
    EXPECT_EQ(result.out, "update file      filelinks\\src\\a.txt\nupdate file      filelinks\\src\\sub\\b.txt\n");
    EXPECT_EQ(mode_of(tree.path() + "/filelinks/src/a.txt"), 0644);
    EXPECT_EQ(file_contents(tree.path() + "/filelinks/src/a.txt"), "alpha");
    EXPECT_EQ(snapshot(tree.path() + "/src"), source);
}

TEST_F(LinuxSameRoute, a_destination_inside_the_source_is_refused_where_the_walk_would_reach_it)
{
    const struct { std::vector<std::string> arguments; const char* out; } cases[] = {
        {{"/CI", "src", "src\\bak"}, INSIDE},
        {{"/CMI", "src", "src\\sub"}, INSIDE},
        {{"/UI", "src\\", "src\\sub\\deeper\\still"}, INSIDE},
        {{"/CI", "src\\*.txt", "src\\sub"}, INSIDE},
        {{"/CI", "src", "."}, SAME},
        {{"/CI", "/0", "src\\*.txt", "src\\sub"}, "create file      src\\sub\\a.txt\n"},  // never walked
        {{"/CI", "/1", "src", "src\\sub"}, "Create directory src\\sub\\src\ncreate file      src\\sub\\src\\a.txt\n"},
    };
    for (const auto& c : cases) {
        const std::string before = snapshot(tree.path());
        const RunResult result = run_orva_as_user(c.arguments, tree.path());
        EXPECT_EQ(result.out, c.out) << c.arguments[1] << " " << c.arguments.back();
        if (std::string(c.out) == INSIDE || std::string(c.out) == SAME) {
            EXPECT_EQ(snapshot(tree.path()), before) << c.arguments.back();
        }
    }
}
