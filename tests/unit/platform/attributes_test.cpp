// Attributes: read-only as permissions, hidden/system/archive in user.DOSATTRIB, the
// defaults without a stored value, and file systems that cannot store them.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "layer_helpers.h"

const DWORD R = FILE_ATTRIBUTE_READONLY, H = FILE_ATTRIBUTE_HIDDEN, S = FILE_ATTRIBUTE_SYSTEM,
            D = FILE_ATTRIBUTE_DIRECTORY, A = FILE_ATTRIBUTE_ARCHIVE, N = FILE_ATTRIBUTE_NORMAL;

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
// reading of it serves that one call and no later one.
TEST(Attributes, an_entry_a_search_has_just_returned_is_set_from_that_reading_once)
{
    LayerTree tree;
    tree.file("f", "", 0644);
    ASSERT_EQ(search_names(tree.windows("f*")).size(), 1u);
    ASSERT_TRUE(SetFileAttributesA(tree.windows("f").c_str(), R | A));
    EXPECT_EQ(mode_of(tree.host("f")), 0444);
    ASSERT_TRUE(SetFileAttributesA(tree.windows("f").c_str(), A));
    EXPECT_EQ(mode_of(tree.host("f")), 0644);
}

TEST(Attributes, stored_value_is_samba_hex_text_and_a_missing_entry_is_not_found)
{
    LayerTree tree;
    tree.file("f");
    ASSERT_TRUE(SetFileAttributesA(tree.windows("f").c_str(), H | A));
    EXPECT_EQ(stored_bits_of(tree.host("f")), "0x22");
    tree.stored_bits("f", "0x4");
    EXPECT_EQ(GetFileAttributesA(tree.windows("f").c_str()), S);
    EXPECT_EQ(GetFileAttributesA(tree.windows("none").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(SetFileAttributesA(tree.windows("none\\x").c_str(), A));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
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

TEST(AttributesAsRoot, file_system_without_extended_attributes_keeps_defaults_and_refuses_other_bits)
{
    REQUIRE_ROOT();
    LayerTree tree;
    tree.directory("ramfs");
    ScopedMount mount(tree.host("ramfs"), "ramfs", 0, nullptr);
    ASSERT_TRUE(mount.mounted()) << mount.why();
    tree.file("ramfs/f", "", 0644);
    const std::string path = tree.windows("ramfs\\f");
    EXPECT_EQ(GetFileAttributesA(path.c_str()), A);
    EXPECT_TRUE(SetFileAttributesA(path.c_str(), R | A));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), R | A);
    EXPECT_EQ(error_after(SetFileAttributesA(path.c_str(), H | A)), DWORD(ERROR_NOT_SUPPORTED));
    // A refused change leaves the read-only bit as it was.
    EXPECT_FALSE(SetFileAttributesA(path.c_str(), S));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), R | A);
}

// Entries of another user: one the caller may not write refuses even the bits it already
// has, a link included; one it may write takes them. The layer takes the caller's
// identity once per process, so nothing before as_user may set attributes: ctest runs
// each case in a process of its own.
TEST(AttributesAsRoot, caller_who_may_not_write_the_entry_cannot_set_even_its_present_bits)
{
    REQUIRE_ROOT();
    LayerTree tree;
    tree.mode("", 0755);
    tree.file("root-owned", "", 0644);
    tree.file("shared", "", 0666);
    tree.directory("d", 0755);
    tree.link("link", "shared");
    EXPECT_EQ(as_user([&] {
        const std::pair<const char*, DWORD> refused[] = {{"root-owned", A}, {"d", D}, {"link", 0}};
        for (int i = 0; i < 3; i++) {
            if (error_after(SetFileAttributesA(tree.windows(refused[i].first).c_str(), refused[i].second)) !=
                ERROR_ACCESS_DENIED)
                return 10 + i;
        }
        return SetFileAttributesA(tree.windows("shared").c_str(), A) ? 0 : 2;
    }), 0);
}
