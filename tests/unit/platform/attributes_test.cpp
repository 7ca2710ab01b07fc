// Attributes: read-only as permissions, hidden/system/archive stored as Samba's hex text
// in user.DOSATTRIB, the defaults without a stored value, and file systems that cannot
// store them.
#include <gtest/gtest.h>

#include "layer_helpers.h"

const DWORD R = FILE_ATTRIBUTE_READONLY, H = FILE_ATTRIBUTE_HIDDEN, S = FILE_ATTRIBUTE_SYSTEM,
            D = FILE_ATTRIBUTE_DIRECTORY, A = FILE_ATTRIBUTE_ARCHIVE, N = FILE_ATTRIBUTE_NORMAL;

// Rows in order on the same entries: what a row sets, the next one starts from. A set of
// ~0u only reads the defaults.
TEST(Attributes, defaults_then_bits_set_and_read_back)
{
    TempTree tree;
    tree.file("f");
    tree.file(".profile");
    tree.file("locked.txt", "", 0444);
    tree.directory("d");
    tree.directory(".git");
    tree.file("stored");
    tree.stored_bits("stored", "0x4");
    const struct {
        const char* name;
        DWORD set;
        DWORD expected;
        const char* stored;
    } cases[] = {
        {"f", ~0u, A, ""},          {".profile", ~0u, H | A, ""}, {"locked.txt", ~0u, R | A, ""},
        {"d", ~0u, D, ""},          {".git", ~0u, D | H, ""},     {"stored", ~0u, S, "0x4"},
        {"f", H | S | A, H | S | A, "0x26"}, {"f", H | A, H | A, "0x22"}, {"f", 0, N, nullptr},
        {"f", N, N, nullptr},       {"f", R, R, nullptr},         {"f", R | H, R | H, nullptr},
        {"f", A, A, nullptr},       {"d", R, D | R, nullptr},     {"d", H | S, D | H | S, nullptr},
        {"d", 0, D, nullptr},       {"d", D | A, D | A, nullptr},
    };
    for (const auto& c : cases) {
        const std::string path = tree.windows(c.name);
        if (c.set != ~0u) {
            EXPECT_TRUE(SetFileAttributesA(path.c_str(), c.set)) << c.name << " " << c.set;
        }
        EXPECT_EQ(GetFileAttributesA(path.c_str()), c.expected) << c.name << " " << c.set;
        if (c.stored != nullptr) {
            EXPECT_EQ(stored_bits_of(tree.host(c.name)), c.stored) << c.name << " " << c.set;
        }
    }
}

// Read-only takes every write bit of a file and gives back the owner's; a directory
// keeps its bits and still takes new files. A walk sets the attributes of the entry its
// search has just returned: that reading serves one call, not the next.
TEST(Attributes, read_only_maps_to_write_permission_for_files_only)
{
    TempTree tree;
    tree.file("f", "", 0664);
    tree.directory("d", 0755);
    ASSERT_EQ(search_names(tree.windows("f*")).size(), 1u);
    ASSERT_TRUE(SetFileAttributesA(tree.windows("f").c_str(), R | A));
    EXPECT_EQ(mode_of(tree.host("f")), 0444);
    ASSERT_TRUE(SetFileAttributesA(tree.windows("f").c_str(), A));
    EXPECT_EQ(mode_of(tree.host("f")), 0644);
    ASSERT_TRUE(SetFileAttributesA(tree.windows("d").c_str(), R));
    EXPECT_EQ(mode_of(tree.host("d")), 0755);
    HANDLE file = CreateFileA(tree.windows("d\\new").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

// A copy onto such a file system shows the refusal of hidden through the program.
TEST(AttributesAsRoot, file_system_without_extended_attributes_keeps_defaults_and_refuses_other_bits)
{
    REQUIRE_ROOT();
    TempTree tree;
    tree.directory("ramfs");
    ScopedMount mount(tree.host("ramfs"), "ramfs", 0, nullptr);
    ASSERT_TRUE(mount.mounted()) << mount.why();
    tree.file("ramfs/f", "", 0644);
    const std::string path = tree.windows("ramfs\\f");
    EXPECT_EQ(GetFileAttributesA(path.c_str()), A);
    EXPECT_TRUE(SetFileAttributesA(path.c_str(), R | A));
    // A refused change leaves the read-only bit as it was.
    EXPECT_EQ(error_after(SetFileAttributesA(path.c_str(), S)), DWORD(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), R | A);
}

// Entries of another user: one the caller may not write refuses even the bits it already
// has, a link included; one it may write takes them. The layer takes the caller's
// identity once per process, so nothing before as_user may set attributes: ctest runs
// each case in a process of its own.
TEST(AttributesAsRoot, caller_who_may_not_write_the_entry_cannot_set_even_its_present_bits)
{
    REQUIRE_ROOT();
    TempTree tree;
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
