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
    for (size_t at = text.find(" " + old + " "); at != std::string::npos; at = text.find(" " + old + " ", at))
        text.replace(at + 1, old.size(), new_text);
    return text;
}

static std::string snapshot_if_there(const std::string& path)
{
    return mode_of(path) == -1 ? "<missing>" : snapshot(path);
}

// What a run must leave behind, besides an outside that never changes.
enum LinksAfter {
    COPIED,     // dst\src holds the source's links (same targets, own times); src as it was
    MOVED,      // dst\src holds the source's links; src is gone
    UNCHANGED,  // src's links are as they were
    DATED,      // src's links carry the new date as their own time
    DELETED,    // src is gone
};

TEST(LinuxLinks, every_operation_acts_on_links_and_never_through_them)
{
    struct Case {
        std::vector<std::string> arguments;
        bool after_a_copy;  // run once /CI src dst has made the destination
        int exit_code;
        LinksAfter after;
    };
    const Case cases[] = {
        {{"/CI", "src", "dst"}, false, 6, COPIED},
        {{"/UI", "src", "dst"}, true, 6, COPIED},
        {{"/CMI", "src", "dst"}, false, 6, MOVED},
        {{"/V", "src", "dst"}, true, 6, COPIED},   // directory links count as directories do
        {{"/RVI", "src", "dst"}, true, 6, DELETED},
        {{"/+RI", "src"}, false, 6, UNCHANGED},
        {{"/-AI", "src"}, false, 6, UNCHANGED},
        {{"/DI2001-01-01,00:00:00.000", "src"}, false, 6, DATED},
        {{"/RI", "src"}, false, 6, DELETED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[0]);
        TempTree tree;
        build_tree(tree, true);
        const std::string source = snapshot(tree.path() + "/src");
        const std::string outside = snapshot(tree.path() + "/outside");
        if (c.after_a_copy) {
            EXPECT_EQ(run_as_user({"/CI", "src", "dst"}, tree).exit_code, 6);
        }
        const std::string destination = snapshot_if_there(tree.path() + "/dst");
        const RunResult result = run_as_user(c.arguments, tree);
        EXPECT_EQ(result.exit_code, c.exit_code) << result.out;
        EXPECT_EQ(result.out.find('!'), std::string::npos) << "a failure:\n" << result.out;
        EXPECT_EQ(snapshot(tree.path() + "/outside"), outside);
        // A destination made before is only read: an up-to-date link is left alone silently.
        if (c.after_a_copy && c.after == COPIED) {
            EXPECT_EQ(snapshot_if_there(tree.path() + "/dst"), destination);
        }
        if (c.arguments[0] == "/UI") {
            EXPECT_EQ(result.out, "");
        }
        switch (c.after) {
        case COPIED:
            EXPECT_EQ(snapshot(tree.path() + "/src"), source);
            EXPECT_EQ(link_lines(snapshot_if_there(tree.path() + "/dst/src")), link_lines(source));
            break;
        case MOVED:
            EXPECT_FALSE(tree.exists("src"));
            EXPECT_EQ(link_lines(snapshot_if_there(tree.path() + "/dst/src")), link_lines(source));
            break;
        case UNCHANGED: EXPECT_EQ(link_lines(snapshot(tree.path() + "/src")), link_lines(source)); break;
        case DATED:
            EXPECT_EQ(link_lines(snapshot(tree.path() + "/src")),
                      replaced(link_lines(source), "1000000000.123456700", "978307200.0"));
            break;
        case DELETED:
            EXPECT_FALSE(tree.exists("src"));
            EXPECT_EQ(snapshot_if_there(tree.path() + "/dst"), destination);
            break;
        }
    }
}

// Source and destination disagree on what is a link: a link against a file holding what
// its target holds, a link against another target, a file against a link to that very
// file, a directory against a link to a copy of it and a directory link against a
// directory.
static void build_discords(TempTree& tree)
{
    tree.file("src/a.txt", "alpha");
    tree.file("dst/src/a.txt", "alpha");
    tree.link("src/link_vs_file", "a.txt");
    tree.file("dst/src/link_vs_file", "alpha");
    tree.link("src/other_target", "a.txt");
    tree.link("dst/src/other_target", "link_vs_file");
    tree.file("src/file_vs_link", "alpha");
    tree.link("dst/src/file_vs_link", tree.path() + "/src/file_vs_link");
    tree.file("src/w_dir_vs_link/x.txt", "x");
    tree.file("dst/copy/x.txt", "x");
    tree.link("dst/src/w_dir_vs_link", "../copy");
    tree.link("src/link_vs_dir", "w_dir_vs_link");
    tree.directory("dst/src/link_vs_dir");
    tree.link("src/same", "a.txt");
    tree.link("dst/src/same", "a.txt");
    for (const char* file : {"src/a.txt", "dst/src/a.txt", "src/w_dir_vs_link/x.txt", "dst/copy/x.txt"})
        tree.times(file, 1000000000);
    tree.give_to_user();
}

TEST(LinuxLinks, a_link_agrees_only_with_a_link_of_the_same_target)
{
    const std::string differences = "Verify file      dst\\src\\file_vs_link is different.\n"
                                    "Verify directory dst\\src\\link_vs_dir is different.\n"
                                    "Verify file      dst\\src\\link_vs_file is different.\n"
                                    "Verify file      dst\\src\\other_target is different.\n";
    struct Case {
        std::vector<std::string> arguments;
        std::string output;
    };
    const Case cases[] = {
        {{"/V", "src", "dst"},
         "Verify directory dst\\src is exist.\n"
         "Verify file      dst\\src\\a.txt is same.\n" +
             differences +
             "Verify file      dst\\src\\same is same.\n"
             "Verify directory dst\\src\\w_dir_vs_link is different.\n"
             "Verify file      dst\\src\\w_dir_vs_link\\x.txt is same.\n"},
        {{"/VNV", "src", "dst"}, differences + "Verify directory dst\\src\\w_dir_vs_link is different.\n"},
        {{"/RVI", "src", "dst"},
         "delete file      src\\a.txt  Verify done.\n"
         "delete file      src\\file_vs_link  Verify different.\n"
         "delete directory src\\link_vs_dir  Verify different.\n"
         "delete file      src\\link_vs_file  Verify different.\n"
         "delete file      src\\other_target  Verify different.\n"
         "delete file      src\\same  Verify done.\n"
         "delete file      src\\w_dir_vs_link\\x.txt  Verify done.\n"
         "delete directory src\\w_dir_vs_link\n"
         "delete directory src\n"
         "Delete directory src failed!\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[0]);
        TempTree tree;
        build_discords(tree);
        const std::string destination = snapshot(tree.path() + "/dst");
        const RunResult result = run_as_user(c.arguments, tree);
        EXPECT_EQ(result.out, c.output);
        EXPECT_EQ(result.exit_code, 3) << "a.txt, x.txt and the link with the same target";
        EXPECT_EQ(file_contents(tree.path() + "/src/file_vs_link"), "alpha");
        EXPECT_EQ(snapshot(tree.path() + "/dst"), destination);
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
