// DeleteFileA and MoveFileA: refusals, renames of case, and moves across file systems.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/xattr.h>

#include "platform/platform.h"
#include "layer_helpers.h"

TEST(Moves, move_renames_within_a_file_system)
{
    LayerTree tree;
    tree.file("a.txt", "A");
    tree.directory("d");
    EXPECT_TRUE(MoveFileA(tree.windows("a.txt").c_str(), tree.windows("d\\b.txt").c_str()));
    EXPECT_FALSE(tree.exists("a.txt"));
    EXPECT_TRUE(tree.exists("d/b.txt"));
    EXPECT_TRUE(MoveFileA(tree.windows("d").c_str(), tree.windows("e").c_str()));
    EXPECT_TRUE(tree.exists("e/b.txt"));
}

TEST(Moves, move_refuses_an_existing_destination)
{
    LayerTree tree;
    tree.file("a", "A");
    tree.file("b", "B");
    EXPECT_FALSE(MoveFileA(tree.windows("a").c_str(), tree.windows("B").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(tree.exists("a"));
    EXPECT_FALSE(MoveFileA(tree.windows("none").c_str(), tree.windows("c").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST(Moves, move_to_another_spelling_of_its_own_name_renames_it)
{
    LayerTree tree;
    tree.file("name.txt");
    EXPECT_TRUE(MoveFileA(tree.windows("name.txt").c_str(), tree.windows("NAME.TXT").c_str()));
    EXPECT_TRUE(tree.exists("NAME.TXT"));
    EXPECT_FALSE(tree.exists("name.txt"));
}

TEST(Moves, move_across_file_systems_copies_times_and_attributes_then_deletes)
{
    LayerTree tree;
    LayerTree other("/dev/shm");
    tree.file("src.bin", std::string(200000, 'z'));
    // An ordinary user stores the bits of a file only while he may still write it.
    tree.stored_bits("src.bin", "0x22");
    tree.mode("src.bin", 0444);
    const struct timespec times[2] = {{1100000000, 111111100}, {1300000000, 222222200}};
    ASSERT_EQ(utimensat(AT_FDCWD, tree.host("src.bin").c_str(), times, 0), 0);
    ASSERT_TRUE(MoveFileA(tree.windows("src.bin").c_str(), other.windows("dst.bin").c_str()));
    EXPECT_FALSE(tree.exists("src.bin"));
    struct stat status;
    ASSERT_EQ(stat(other.host("dst.bin").c_str(), &status), 0);
    EXPECT_EQ(status.st_size, 200000);
    EXPECT_EQ(status.st_mtim.tv_sec, 1300000000);
    EXPECT_EQ(status.st_mtim.tv_nsec, 222222200);
    EXPECT_EQ(status.st_mode & 07777, 0444u);
    EXPECT_EQ(GetFileAttributesA(other.windows("dst.bin").c_str()),
              DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
}

TEST(Moves, directory_does_not_move_across_file_systems)
{
    LayerTree tree;
    LayerTree other("/dev/shm");
    tree.directory("d");
    EXPECT_FALSE(MoveFileA(tree.windows("d").c_str(), other.windows("d").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SAME_DEVICE));
    EXPECT_TRUE(tree.exists("d"));
}

TEST(Moves, delete_removes_files_only)
{
    LayerTree tree;
    tree.file("f");
    EXPECT_TRUE(DeleteFileA(tree.windows("F").c_str()));
    EXPECT_FALSE(tree.exists("f"));
    EXPECT_FALSE(DeleteFileA(tree.windows("f").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}
