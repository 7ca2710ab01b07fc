// Attributes: read-only as permissions, hidden/system/archive in user.DOSATTRIB, the
// defaults without a stored value, and file systems that cannot store them.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/platform.h"
#include "layer_helpers.h"

const DWORD R = FILE_ATTRIBUTE_READONLY, H = FILE_ATTRIBUTE_HIDDEN, S = FILE_ATTRIBUTE_SYSTEM,
            D = FILE_ATTRIBUTE_DIRECTORY, A = FILE_ATTRIBUTE_ARCHIVE, N = FILE_ATTRIBUTE_NORMAL;

static std::string stored_text(const std::string& host_path)
{
    char value[64];
    const ssize_t length = getxattr(host_path.c_str(), "user.DOSATTRIB", value, sizeof value);
    return length < 0 ? "<none>" : std::string(value, static_cast<size_t>(length));
}

TEST(Attributes, defaults_without_a_stored_value)
{
    LayerTree tree;
    tree.file("plain.txt");
    tree.file(".profile");
    tree.file("locked.txt", "", 0444);
    tree.directory("dir");
    tree.directory(".git");
    const struct {
        const char* name;
        DWORD attributes;
    } cases[] = {
        {"plain.txt", A}, {".profile", H | A}, {"locked.txt", R | A}, {"dir", D}, {".git", D | H},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetFileAttributesA(tree.windows(c.name).c_str()), c.attributes) << c.name;
}

TEST(Attributes, set_and_get_round_trip)
{
    LayerTree tree;
    tree.file("f");
    tree.directory("d");
    const struct {
        const char* name;
        DWORD set;
        DWORD expected;
    } cases[] = {
        {"f", H | S | A, H | S | A}, {"f", 0, N},        {"f", N, N},         {"f", R, R},
        {"f", R | H, R | H},         {"f", A, A},        {"d", R, D | R},     {"d", H | S, D | H | S},
        {"d", 0, D},                 {"d", D | A, D | A},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(SetFileAttributesA(tree.windows(c.name).c_str(), c.set)) << c.name << " " << c.set;
        EXPECT_EQ(GetFileAttributesA(tree.windows(c.name).c_str()), c.expected) << c.name << " " << c.set;
    }
}

// A walk sets the attributes of the entry its search has just returned: the search's
// reading of it serves that one call, and no later one, nor one after a pause (an
// answer to a prompt) in which another program may have changed the entry.
TEST(Attributes, an_entry_a_search_has_just_returned_is_set_from_that_reading_once)
{
    LayerTree tree;
    tree.file("f", "", 0644);
    const auto search_returns_f = [&] {
        WIN32_FIND_DATAA record;
        HANDLE search = FindFirstFileA(tree.windows("f*").c_str(), &record);
        ASSERT_NE(search, INVALID_HANDLE_VALUE);
        FindClose(search);
    };
    search_returns_f();
    ASSERT_TRUE(SetFileAttributesA(tree.windows("f").c_str(), R | A));
    EXPECT_EQ(mode_of(tree.host("f")), 0444);
    ASSERT_TRUE(SetFileAttributesA(tree.windows("f").c_str(), A));
    EXPECT_EQ(mode_of(tree.host("f")), 0644);
    search_returns_f();
    ASSERT_EQ(chmod(tree.host("f").c_str(), 0444), 0);
    usleep(100000);
    ASSERT_TRUE(SetFileAttributesA(tree.windows("f").c_str(), A));
    EXPECT_EQ(mode_of(tree.host("f")), 0644);
}

TEST(Attributes, stored_value_is_samba_hex_text)
{
    LayerTree tree;
    tree.file("f");
    ASSERT_TRUE(SetFileAttributesA(tree.windows("f").c_str(), H | A));
    EXPECT_EQ(stored_text(tree.host("f")), "0x22");
    ASSERT_EQ(setxattr(tree.host("f").c_str(), "user.DOSATTRIB", "0x4", 3, 0), 0);
    EXPECT_EQ(GetFileAttributesA(tree.windows("f").c_str()), S);
}

TEST(Attributes, read_only_maps_to_write_permission_for_files_only)
{
    LayerTree tree;
    tree.file("f", "", 0664);
    tree.directory("d", 0755);
    ASSERT_TRUE(SetFileAttributesA(tree.windows("f").c_str(), R | A));
    EXPECT_EQ(mode_of(tree.host("f")), 0444);
    ASSERT_TRUE(SetFileAttributesA(tree.windows("f").c_str(), A));
    EXPECT_EQ(mode_of(tree.host("f")), 0644);
    ASSERT_TRUE(SetFileAttributesA(tree.windows("d").c_str(), R));
    EXPECT_EQ(mode_of(tree.host("d")), 0755);
    // A read-only directory still takes new files.
    HANDLE file = CreateFileA(tree.windows("d\\new").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

TEST(Attributes, missing_entry_gives_not_found)
{
    LayerTree tree;
    EXPECT_EQ(GetFileAttributesA(tree.windows("none").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(SetFileAttributesA(tree.windows("none\\x").c_str(), A));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(Attributes, file_system_without_extended_attributes_keeps_defaults_and_refuses_other_bits)
{
    LayerTree tree;
    tree.directory("ramfs");
    ScopedMount mount(tree.host("ramfs"), "ramfs", 0, nullptr);
    if (!mount.mounted())
        GTEST_SKIP() << mount.why();
    tree.file("ramfs/f", "", 0644);
    const std::string path = tree.windows("ramfs\\f");
    EXPECT_EQ(GetFileAttributesA(path.c_str()), A);
    EXPECT_TRUE(SetFileAttributesA(path.c_str(), A));
    EXPECT_TRUE(SetFileAttributesA(path.c_str(), R | A));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), R | A);
    EXPECT_FALSE(SetFileAttributesA(path.c_str(), H | A));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    // A refused change leaves the read-only bit as it was.
    EXPECT_FALSE(SetFileAttributesA(path.c_str(), S));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), R | A);
}

// Run as nobody: an entry that the caller neither owns nor may write refuses even the
// bits it already has; one it may write takes them.
TEST(Attributes, caller_who_may_not_write_the_entry_cannot_set_even_its_present_bits)
{
    LayerTree tree;
    chmod(tree.path().c_str(), 0755);
    tree.file("root-owned", "", 0644);
    tree.file("shared", "", 0666);
    tree.directory("d", 0755);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(100);
        if (SetFileAttributesA(tree.windows("root-owned").c_str(), A) ||
            GetLastError() != ERROR_ACCESS_DENIED)
            _exit(1);
        if (SetFileAttributesA(tree.windows("d").c_str(), D) || GetLastError() != ERROR_ACCESS_DENIED)
            _exit(2);
        _exit(SetFileAttributesA(tree.windows("shared").c_str(), A) ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 100)
        GTEST_SKIP() << "cannot give up root privileges";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
