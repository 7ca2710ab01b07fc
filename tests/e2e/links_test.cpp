// Symbolic links end to end, as an ordinary user on a tree of their own: every operation
// copies, moves, compares, changes and deletes a link as a link, as cp -a and rsync -a
// do, and nothing outside the named tree changes, whatever the links lead to.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>
#include <string>
#include <vector>

#include "e2e/run_program.h"

// Links to files and directories inside the tree, outside it (by a relative and an
// absolute target) and nowhere, with their own times; the file outside is read-only, as
// a git object is. All of it belongs to nobody.
static void build_linked_tree(TempTree& tree)
{
    tree.file("outside/f.txt", "outside");
    tree.file("outside/d/g.txt", "outside too");
    tree.file("src/a.txt", "alpha");
    tree.file("src/sub/b.txt", "beta");
    tree.link("src/file_in", "a.txt");
    tree.link("src/file_out", "../outside/f.txt");
    tree.link("src/file_abs", tree.path() + "/outside/f.txt");
    tree.link("src/dir_in", "sub");
    tree.link("src/dir_out", "../outside/d");
    tree.link("src/z_dangling", "nowhere");
    for (const char* link : {"file_in", "file_out", "file_abs", "dir_in", "dir_out", "z_dangling"})
        tree.times(std::string("src/") + link, 1000000000, 123456700);
    tree.times("outside/f.txt", 1100000000);
    tree.mode("outside/f.txt", 0444);
    tree.give_to_user();
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

static bool exists(const std::string& path)
{
    struct stat status;
    return lstat(path.c_str(), &status) == 0;
}

static std::string snapshot_if_there(const std::string& path)
{
    return exists(path) ? snapshot(path) : "<missing>";
}

static RunResult run_as_nobody(const std::vector<std::string>& arguments, const TempTree& tree)
{
    const RunResult result = run_orva_as_user(arguments, tree.path());
    return result;
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
        build_linked_tree(tree);
        const std::string source = snapshot(tree.path() + "/src");
        const std::string outside = snapshot(tree.path() + "/outside");
        if (c.after_a_copy) {
            EXPECT_EQ(run_as_nobody({"/CI", "src", "dst"}, tree).exit_code, 6);
        }
        const std::string destination = snapshot_if_there(tree.path() + "/dst");
        const RunResult result = run_as_nobody(c.arguments, tree);
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
            EXPECT_FALSE(exists(tree.path() + "/src"));
            EXPECT_EQ(link_lines(snapshot_if_there(tree.path() + "/dst/src")), link_lines(source));
            break;
        case UNCHANGED: EXPECT_EQ(link_lines(snapshot(tree.path() + "/src")), link_lines(source)); break;
        case DATED:
            EXPECT_EQ(link_lines(snapshot(tree.path() + "/src")),
                      replaced(link_lines(source), "1000000000.123456700", "978307200.0"));
            break;
        case DELETED:
            EXPECT_FALSE(exists(tree.path() + "/src"));
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
        const RunResult result = run_as_nobody(c.arguments, tree);
        EXPECT_EQ(result.out, c.output);
        EXPECT_EQ(result.exit_code, 3) << "a.txt, x.txt and the link with the same target";
        EXPECT_EQ(file_contents(tree.path() + "/src/file_vs_link"), "alpha");
        EXPECT_EQ(snapshot(tree.path() + "/dst"), destination);
    }
}
