// Links and other routes end to end, as an ordinary user on a tree of his own: every
// operation copies, moves, compares, changes and deletes a link as a link, as cp -a and
// rsync -a do, and nothing outside the named tree changes, whatever the links lead to. A
// destination that is the source by another route (a link, a bind mount, an 8.3 alias, a
// mapped drive, a link inside the destination, a current directory reached through a
// link) or lies inside it loses nothing of the source, whatever the letters.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "e2e/run_program.h"

// Two files in src and, beside it, other routes to it: a link, a link in a directory of
// the same name, an 8.3 alias, a directory holding a second name (a hard link) of one
// file and a link to the other's directory, and one holding links to both files.
static void build_tree(const TempTree& tree)
{
    tree.file("src/a.txt", "alpha");
    tree.file("src/sub/b.txt", "beta");
    tree.file("longdirectoryname/c.txt", "alias");
    tree.link("link", "src");
    tree.link("back/src", "../src");
    tree.link("filelinks/src/a.txt", "../../src/a.txt");
    tree.link("filelinks/src/sub/b.txt", "../../../src/sub/b.txt");
    tree.directory("deep/src");
    if (::link(tree.host("src/a.txt").c_str(), tree.host("deep/src/a.txt").c_str()) != 0)
        throw std::runtime_error("link failed");
    tree.link("deep/src/sub", "../../src/sub");
    tree.directory("mnt");
    tree.give_to_user();
}

// The changes and the deletion on links in, out of the tree (by a relative and an
// absolute target) and nowhere, with their own times; the random trees check copies,
// updates, verifies and moves of links. Directory links count as directories do.
TEST(LinuxLinks, changes_and_deletion_act_on_links_and_never_through_them)
{
    const struct {
        const char* letters;
        long long seconds;  // the links' own time after the run, -1 when src is gone
        long nanoseconds;
    } cases[] = {{"/+RI", 1000000000, 123456700}, {"/-AI", 1000000000, 123456700},
                 {"/DI2001-01-01,00:00:00.000", 978307200, 0}, {"/RI", -1, 0}};
    for (const auto& c : cases) {
        TempTree tree;
        tree.file("src/a.txt", "alpha");
        tree.file("src/sub/b.txt", "beta");
        tree.file("outside/f.txt", "outside", 0444);
        tree.file("outside/d/g.txt", "outside too");
        const std::pair<const char*, std::string> links[] = {
            {"file_in", "a.txt"}, {"file_out", "../outside/f.txt"}, {"file_abs", tree.host("outside/f.txt")},
            {"dir_in", "sub"},    {"dir_out", "../outside/d"},      {"z_dangling", "nowhere"},
        };
        for (const auto& [name, target] : links) {
            tree.link(std::string("src/") + name, target);
            tree.times(std::string("src/") + name, 1000000000, 123456700);
        }
        tree.give_to_user();
        const std::string outside = snapshot(tree.host("outside"));
        const RunResult result = run_orva_as_user({c.letters, "src"}, tree.path());
        EXPECT_EQ(result.exit_code, 6) << c.letters << "\n" << result.out;
        EXPECT_EQ(result.out.find('!'), std::string::npos) << c.letters << ": a failure\n" << result.out;
        EXPECT_EQ(snapshot(tree.host("outside")), outside) << c.letters;
        EXPECT_EQ(tree.exists("src"), c.seconds != -1) << c.letters;
        for (const auto& [name, target] : links) {
            const std::string link = tree.host(std::string("src/") + name);
            struct stat status;
            if (c.seconds != -1 && lstat(link.c_str(), &status) == 0) {
                EXPECT_EQ(std::filesystem::read_symlink(link), target) << c.letters << " " << name;
                EXPECT_EQ(status.st_mtim.tv_sec * 1000000000 + status.st_mtim.tv_nsec, c.seconds * 1000000000 + c.nanoseconds)
                    << c.letters << " " << name;
            }
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
    void SetUp() override { build_tree(tree); }
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

// A destination file that is its source (by a second name, or through a linked
// directory) fails as an entry, and the run follows E as for any failure; one that is a
// link to its source is another entry, replaced by a copy or found different. A
// destination inside the source is refused where the walk would reach it. Nothing
// changes but what the output says was created or updated.
TEST_F(LinuxSameRoute, a_destination_file_that_is_its_source_or_inside_it_never_loses_the_source)
{
    for (const GoldenCase& c : golden_cases("linux_same_route.txt")) {
        const std::string before = snapshot(tree.path()), where = c.arguments[0] + " " + c.arguments.back();
        const RunResult result = run_orva_as_user(c.arguments, tree.path());
        // Without E the run stops at the failure, before the line's end.
        EXPECT_EQ(result.out.ends_with("\n") ? result.out : result.out + "\n", c.out) << where;
        EXPECT_EQ(result.exit_code, c.exit_code) << where;
        const bool writes = c.out.find("itself") == std::string::npos &&
                            (c.out.find("create file") != std::string::npos || c.out.find("update file") != std::string::npos);
        if (!writes) {
            EXPECT_EQ(snapshot(tree.path()), before) << where;
        }
    }
    EXPECT_EQ(mode_of(tree.path() + "/filelinks/src/a.txt"), 0644);
    EXPECT_EQ(file_contents(tree.path() + "/filelinks/src/a.txt"), "alpha");
}
