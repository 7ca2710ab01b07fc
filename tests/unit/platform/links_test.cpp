// Symbolic links: a link to a file is read as the file, a link to a directory is a
// directory the walk does not enter, a dangling link is an empty file that cannot be
// opened; every link carries the reparse-point bit, and is changed, copied and compared
// as a link, never through it.
#include <gtest/gtest.h>

#include <ftw.h>
#include <sstream>
#include <sys/xattr.h>

#include "layer_helpers.h"

// Reading goes through a link, writing never does: a dangling link is an empty file
// that cannot be opened, and a link to a directory is removed as the link alone.
TEST(Links, reads_go_through_a_link_and_nothing_else_does)
{
    LayerTree tree;
    tree.file("target.txt", "12345");
    tree.file("real/inside");
    tree.link("link.txt", "target.txt");
    tree.link("broken", "nowhere");
    tree.link("jump", "real");
    tree.link("jump2", "real");
    tree.link("one", "two");
    tree.link("two", "one");
    EXPECT_EQ(record_of(tree.windows("link.txt")).nFileSizeLow, 5u);
    EXPECT_EQ(record_of(tree.windows("broken")).nFileSizeLow, 0u);
    const auto open_error = [&](const char* name, DWORD access, DWORD disposition) {
        HANDLE file = CreateFileA(tree.windows(name).c_str(), access, 0, nullptr, disposition, 0, nullptr);
        return error_after(file != INVALID_HANDLE_VALUE && CloseHandle(file));
    };
    EXPECT_EQ(open_error("link.txt", GENERIC_READ, OPEN_EXISTING), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(open_error("broken", GENERIC_READ, OPEN_EXISTING), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_NE(open_error("broken", GENERIC_WRITE, CREATE_ALWAYS), DWORD(ERROR_SUCCESS));
    EXPECT_FALSE(tree.exists("nowhere"));
    EXPECT_EQ(open_error("one", GENERIC_READ, OPEN_EXISTING), DWORD(ERROR_CANT_RESOLVE_FILENAME));
    EXPECT_TRUE(RemoveDirectoryA(tree.windows("jump").c_str()));
    EXPECT_TRUE(DeleteFileA(tree.windows("jump2").c_str()));
    EXPECT_TRUE(DeleteFileA(tree.windows("broken").c_str()));
    EXPECT_EQ(search_names(tree.windows("*")), (std::vector<std::string>{".", "..", "link.txt", "one", "real", "target.txt", "two"}));
    EXPECT_TRUE(tree.exists("real/inside"));
}

// Every entry below the tree's root, links and their targets alike: kind and mode, write
// time to the nanosecond, the stored attributes of the entry itself and a link's target.
static std::string everything(const LayerTree& tree)
{
    static std::ostringstream lines;
    lines.str("");
    nftw(tree.path().c_str(), [](const char* path, const struct stat* status, int, struct FTW*) {
        char stored[32] = {};
        lgetxattr(path, "user.DOSATTRIB", stored, sizeof stored - 1);
        char target[256] = {};
        readlink(path, target, sizeof target - 1);
        lines << path << ' ' << std::oct << status->st_mode << std::dec << ' ' << status->st_mtim.tv_sec << '.'
              << status->st_mtim.tv_nsec << " [" << stored << "] " << target << '\n';
        return 0;
    }, 32, FTW_PHYS);
    return lines.str();
}

// The same without the line of one entry.
static std::string everything_but(const LayerTree& tree, const std::string& relative)
{
    std::string lines = everything(tree);
    const size_t line = lines.find(tree.host(relative) + ' ');
    return line == std::string::npos ? lines : lines.erase(line, lines.find('\n', line) + 1 - line);
}

static long long own_write_time(const std::string& host)
{
    struct stat status;
    return lstat(host.c_str(), &status) == 0 ? status.st_mtim.tv_sec : -1;
}

static std::string target_text(const std::string& host)
{
    char target[256] = {};
    return readlink(host.c_str(), target, sizeof target - 1) >= 0 ? target : "<no link>";
}

struct LinkKind {
    const char* name;
    const char* target;
    DWORD attributes;
};

static const LinkKind LINK_KINDS[] = {
    {"file_inside", "inside.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT},
    {"file_outside", "../outside/f.txt", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT},
    {"directory_outside", "../outside/d", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT},
    {"dangling", "nowhere", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT},
    {"looping", "looping", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_REPARSE_POINT},
};

// A tree whose links lead inside it, outside it and nowhere, all of it the user's.
static void build_link_tree(const LayerTree& tree)
{
    tree.directory("outside");
    tree.directory("outside/d");
    tree.file("outside/f.txt", "12345", 0644);
    tree.directory("tree");
    tree.file("tree/inside.txt", "abc", 0444);
    for (const LinkKind& kind : LINK_KINDS)
        tree.link(std::string("tree/") + kind.name, kind.target);
    tree.give_to_user();
}

// Each step returns 0 when it held, else its own number, for the report of as_user.
static int records_carry_the_reparse_bit(const LayerTree& tree, const LinkKind& kind)
{
    const std::string link = tree.windows(std::string("tree/") + kind.name);
    const WIN32_FIND_DATAA record = record_of(link);
    if (record.dwFileAttributes != kind.attributes || record.dwReserved0 != IO_REPARSE_TAG_SYMLINK)
        return 1;
    return GetFileAttributesA(link.c_str()) == kind.attributes ? 0 : 2;
}

static int attribute_changes_reach_nothing(const LayerTree& tree, const LinkKind& kind)
{
    const std::string link = tree.windows(std::string("tree/") + kind.name);
    const std::string before = everything(tree);
    const DWORD all = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (!SetFileAttributesA(link.c_str(), kind.attributes | all) || !SetFileAttributesA(link.c_str(), 0))
        return 3;
    return everything(tree) != before ? 4 : 0;
}

static int own_time_changes_alone(const LayerTree& tree, const LinkKind& kind)
{
    const std::string relative = std::string("tree/") + kind.name;
    const DWORD flags = FILE_FLAG_OPEN_REPARSE_POINT |
                        (kind.attributes & FILE_ATTRIBUTE_DIRECTORY ? FILE_FLAG_BACKUP_SEMANTICS : 0);
    const std::string before = everything_but(tree, relative);
    HANDLE link = CreateFileA(tree.windows(relative).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              flags, nullptr);
    if (link == INVALID_HANDLE_VALUE)
        return 6;
    const FILETIME new_time = {0xC89DC000, 0x01C07385};  // 2001-01-01 00:00:00 UTC
    FILETIME read_back = {};
    const bool set = SetFileTime(link, nullptr, nullptr, &new_time) && GetFileTime(link, nullptr, nullptr, &read_back);
    CloseHandle(link);
    if (!set || read_back.dwLowDateTime != new_time.dwLowDateTime || own_write_time(tree.host(relative)) != 978307200)
        return 7;
    return everything_but(tree, relative) == before ? 0 : 8;
}

static int copies_and_comparisons_keep_the_target_text(const LayerTree& tree, const LinkKind& kind)
{
    const std::string relative = std::string("tree/") + kind.name;
    const std::string copy = std::string("tree/copy_") + kind.name;
    if (!copy_symbolic_link(tree.windows(relative).c_str(), tree.windows(copy).c_str()))
        return 9;
    if (target_text(tree.host(copy)) != kind.target ||
        own_write_time(tree.host(copy)) != own_write_time(tree.host(relative)))
        return 10;
    if (copy_symbolic_link(tree.windows(relative).c_str(), tree.windows(copy).c_str()) ||
        GetLastError() != ERROR_ALREADY_EXISTS)
        return 11;
    const auto compared = [&](const std::string& other) {
        return compare_link_targets(tree.windows(relative).c_str(), tree.windows(other).c_str());
    };
    const char* another = kind.name == LINK_KINDS[0].name ? LINK_KINDS[1].name : LINK_KINDS[0].name;
    if (compared(copy) != LINKS_SAME || compared(std::string("tree/") + another) != LINKS_DIFFERENT ||
        compared("tree/inside.txt") != LINKS_DIFFERENT || compared("outside/d") != LINKS_DIFFERENT)
        return 12;
    return compared("tree/missing") == LINK_DESTINATION_UNREADABLE && GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : 13;
}

TEST(Links, every_kind_of_link_is_acted_on_as_a_link_never_through_it)
{
    for (const LinkKind& kind : LINK_KINDS) {
        SCOPED_TRACE(kind.name);
        LayerTree tree;
        build_link_tree(tree);
        EXPECT_EQ(as_user([&] {
            int failed = records_carry_the_reparse_bit(tree, kind);
            failed = failed != 0 ? failed : attribute_changes_reach_nothing(tree, kind);
            failed = failed != 0 ? failed : own_time_changes_alone(tree, kind);
            return failed != 0 ? failed : copies_and_comparisons_keep_the_target_text(tree, kind);
        }), 0);
    }
}
