// What a copy on a Linux file system is made of, for an ordinary user: the source's
// permission bits and holes, and a copy cut off by SIGKILL that is never taken for
// complete.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "e2e/pty_session.h"
#include "e2e/run_program.h"


static struct stat status_of(const std::string& path)
{
    struct stat status = {};
    stat(path.c_str(), &status);
    return status;
}

static std::string bytes_at(const std::string& path, off_t offset, size_t length)
{
    std::string bytes(length, '\0');
    const int fd = open(path.c_str(), O_RDONLY);
    const ssize_t got = fd < 0 ? -1 : pread(fd, bytes.data(), length, offset);
    if (fd >= 0)
        close(fd);
    return got == static_cast<ssize_t>(length) ? bytes : "<unreadable>";
}

static void write_at(const std::string& path, off_t offset, const std::string& data)
{
    const int fd = open(path.c_str(), O_WRONLY);
    ASSERT_EQ(pwrite(fd, data.data(), data.size(), offset), static_cast<ssize_t>(data.size()));
    close(fd);
}

TEST(LinuxCopies, copy_keeps_permission_bits_and_read_only_hidden_files)
{
    TempTree tree;
    const struct {
        const char* name;
        unsigned mode;
        const char* stored;
    } files[] = {
        {"id_rsa", 0600, nullptr}, {"run.sh", 0755, nullptr}, {"locked", 0444, "0x22"}, {".profile", 0444, nullptr},
    };
    for (const auto& f : files) {
        tree.file(std::string("src/") + f.name, f.name);
        tree.times(std::string("src/") + f.name, 1500000000, 123456700);
    }
    tree.give_to_user();
    for (const auto& f : files) {
        const std::string path = tree.path() + "/src/" + f.name;
        if (f.stored != nullptr) {
            ASSERT_EQ(setxattr(path.c_str(), "user.DOSATTRIB", f.stored, strlen(f.stored), 0), 0);
        }
        tree.mode(std::string("src/") + f.name, f.mode);
    }
    const std::string before = snapshot(tree.path() + "/src");
    const RunResult result = run_orva_as_user({"/CI", "src", "dst"}, tree.path());
    EXPECT_EQ(result.exit_code, 4) << result.out;
    EXPECT_EQ(snapshot(tree.path() + "/src"), before);
    EXPECT_EQ(snapshot(tree.path() + "/dst/src"), before) << result.out;
}

TEST(LinuxCopies, a_sparse_file_is_copied_sparse)
{
    TempTree tree;
    const long long size = 5ll << 30;
    tree.sparse("src/disk.img", size);
    write_at(tree.path() + "/src/disk.img", (3ll << 30) + 5, "middle");
    write_at(tree.path() + "/src/disk.img", size - 3, "end");
    tree.give_to_user();
    const RunResult result = run_orva_as_user({"/CI", "src", "dst"}, tree.path());
    EXPECT_EQ(result.exit_code, 1) << result.out;
    const struct stat source = status_of(tree.path() + "/src/disk.img");
    const struct stat copy = status_of(tree.path() + "/dst/src/disk.img");
    EXPECT_EQ(copy.st_size, size);
    EXPECT_LE(copy.st_blocks, source.st_blocks + 4 * 8) << "512-byte blocks used";
    EXPECT_EQ(bytes_at(tree.path() + "/dst/src/disk.img", (3ll << 30) + 5, 6), "middle");
    EXPECT_EQ(bytes_at(tree.path() + "/dst/src/disk.img", size - 3, 3), "end");
}

// Held at Ctrl+S after its first block, the copy is killed: nothing may stand under the
// name, or an update would keep it for its newer time and verify would not look again.
TEST(LinuxCopies, a_copy_killed_mid_file_leaves_nothing_under_its_name)
{
    TempTree tree;
    std::string data;
    for (int i = 0; i < 65536; i++)
        data += "0123456789abcdef";
    tree.file("src/big", data);
    tree.times("src/big", 1000000000);
    tree.give_to_user();
    const std::string before = snapshot(tree.path() + "/src");
    {
        const std::vector<std::string> words = orva_words_as_user({"/C", "src", "dst"});
        PtySession s(words[0], {words.begin() + 1, words.end()}, tree.path());
        ASSERT_TRUE(s.wait_for("create file      dst\\src\\big <Create:Y, Skip:N, All:A, Skip All:X>? ")) << s.output();
        s.type_at_once("Y\x13");
        // The first block is written, and the run holds before the next.
        ASSERT_TRUE(s.wait_written(65536)) << s.output();
        ASSERT_TRUE(s.running());
    }
    EXPECT_TRUE(std::filesystem::is_empty(tree.path() + "/dst/src"));
    const RunResult update = run_orva_as_user({"/UI", "src", "dst"}, tree.path());
    EXPECT_EQ(update.exit_code, 1) << update.out;
    const RunResult verify = run_orva_as_user({"/V", "src", "dst"}, tree.path());
    EXPECT_EQ(verify.exit_code, 1) << verify.out;
    EXPECT_EQ(snapshot(tree.path() + "/src"), before);
    EXPECT_EQ(snapshot(tree.path() + "/dst/src"), before);
}
