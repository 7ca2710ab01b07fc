// The errno table, and each of its codes provoked through the calls that meet it.
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include "platform/platform.h"
#include "platform/posix/error_table.h"
#include "layer_helpers.h"

TEST(ErrorTable, maps_every_errno_the_layer_names)
{
    const struct { int error_number; DWORD code; } cases[] = {
        {ENOENT, ERROR_FILE_NOT_FOUND}, {EACCES, ERROR_ACCESS_DENIED}, {EPERM, ERROR_ACCESS_DENIED},
        {EEXIST, ERROR_ALREADY_EXISTS}, {ENOTEMPTY, ERROR_DIR_NOT_EMPTY}, {ENOSPC, ERROR_DISK_FULL},
        {EXDEV, ERROR_NOT_SAME_DEVICE}, {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE}, {ENOTDIR, ERROR_DIRECTORY},
        {EROFS, ERROR_WRITE_PROTECT}, {EMFILE, ERROR_TOO_MANY_OPEN_FILES}, {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
        {EINVAL, ERROR_INVALID_PARAMETER}, {EIO, ERROR_IO_DEVICE}, {ELOOP, ERROR_CANT_RESOLVE_FILENAME},
        {EBUSY, ERROR_GEN_FAILURE},
        {ETXTBSY, ERROR_GEN_FAILURE}};
    for (const auto& c : cases)
        EXPECT_EQ(windows_error_of(c.error_number), c.code) << c.error_number;
    EXPECT_EQ(windows_error_of(ENOENT, true), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

static DWORD error_after(bool succeeded)
{
    return succeeded ? ERROR_SUCCESS : GetLastError();
}

TEST(Errors, directory_calls_give_windows_codes)
{
    LayerTree tree;
    tree.directory("full");
    tree.file("full/x");
    tree.file("file");
    EXPECT_EQ(error_after(CreateDirectoryA(tree.windows("full").c_str(), nullptr)), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(error_after(CreateDirectoryA(tree.windows("FULL").c_str(), nullptr)), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(error_after(CreateDirectoryA(tree.windows("no\\new").c_str(), nullptr)), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(error_after(RemoveDirectoryA(tree.windows("full").c_str())), DWORD(ERROR_DIR_NOT_EMPTY));
    EXPECT_EQ(error_after(RemoveDirectoryA(tree.windows("file").c_str())), DWORD(ERROR_DIRECTORY));
    EXPECT_EQ(error_after(RemoveDirectoryA(tree.windows("none").c_str())), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(error_after(DeleteFileA(tree.windows("full").c_str())), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(error_after(MoveFileA(tree.windows("full").c_str(), tree.windows("full\\inside").c_str())),
              DWORD(ERROR_INVALID_PARAMETER));
}

TEST(Errors, create_directory_ex_copies_the_template)
{
    LayerTree tree;
    tree.directory("model", 0750);
    ASSERT_TRUE(SetFileAttributesA(tree.windows("model").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(CreateDirectoryExA(tree.windows("model").c_str(), tree.windows("copy").c_str(), nullptr));
    EXPECT_EQ(mode_of(tree.host("copy")), 0750);
    EXPECT_EQ(GetFileAttributesA(tree.windows("copy").c_str()),
              DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(error_after(CreateDirectoryExA(tree.windows("none").c_str(), tree.windows("x").c_str(), nullptr)),
              DWORD(ERROR_FILE_NOT_FOUND));
}

TEST(Errors, read_only_entries_refuse_deletion)
{
    LayerTree tree;
    tree.file("ro", "", 0444);
    tree.directory("rodir");
    EXPECT_EQ(error_after(DeleteFileA(tree.windows("ro").c_str())), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(tree.exists("ro"));
    ASSERT_TRUE(SetFileAttributesA(tree.windows("rodir").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(error_after(RemoveDirectoryA(tree.windows("rodir").c_str())), DWORD(ERROR_ACCESS_DENIED));
    ASSERT_TRUE(SetFileAttributesA(tree.windows("rodir").c_str(), 0));
    EXPECT_TRUE(RemoveDirectoryA(tree.windows("rodir").c_str()));
}

TEST(Errors, immutable_file_gives_access_denied_from_the_host)
{
    LayerTree tree;
    tree.file("fixed");
    if (system(("chattr +i " + tree.host("fixed") + " 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "chattr +i is not available here";
    EXPECT_EQ(error_after(DeleteFileA(tree.windows("fixed").c_str())), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(system(("chattr -i " + tree.host("fixed")).c_str()), 0);
}

// Root passes every permission check, so the unreadable directory is tried by a child
// that gives its privileges up first.
TEST(Errors, unreadable_directory_gives_access_denied)
{
    LayerTree tree;
    ASSERT_EQ(chmod(tree.path().c_str(), 0755), 0);
    tree.directory("closed", 0700);
    tree.file("closed/x");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(100);
        WIN32_FIND_DATAA record;
        const bool found = FindFirstFileA(tree.windows("closed\\*").c_str(), &record) != INVALID_HANDLE_VALUE;
        _exit(found ? 101 : static_cast<int>(GetLastError()));
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 100)
        GTEST_SKIP() << "cannot give up root privileges";
    EXPECT_EQ(WEXITSTATUS(status), ERROR_ACCESS_DENIED);
}

// Small tmpfs mounts: full, read-only, and busy as a mount point.
TEST(Errors, full_read_only_and_busy_file_systems_give_their_codes)
{
    LayerTree tree;
    for (const char* name : {"small", "ro"})
        tree.directory(name);
    ScopedMount small(tree.host("small"), "tmpfs", 0, "size=64k");
    ScopedMount read_only(tree.host("ro"), "tmpfs", MS_RDONLY, "size=64k");
    if (!small.mounted() || !read_only.mounted())
        GTEST_SKIP() << small.why() << read_only.why();
    EXPECT_EQ(error_after(RemoveDirectoryA(tree.windows("small").c_str())), DWORD(ERROR_GEN_FAILURE));
    HANDLE file = CreateFileA(tree.windows("small\\big").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::string block(65536, 'x');
    DWORD written = 0;
    BOOL ok = TRUE;
    for (int i = 0; i < 4 && ok; i++)
        ok = WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
    EXPECT_FALSE(ok);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISK_FULL));
    CloseHandle(file);
    EXPECT_EQ(CreateFileA(tree.windows("ro\\new").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_WRITE_PROTECT));
    EXPECT_EQ(error_after(CreateDirectoryA(tree.windows("ro\\d").c_str(), nullptr)), DWORD(ERROR_WRITE_PROTECT));
}

TEST(Errors, too_many_open_files)
{
    LayerTree tree;
    tree.file("f");
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    const int probe = open("/dev/null", O_RDONLY);
    ASSERT_GE(probe, 0);
    close(probe);
    struct rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(probe);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    HANDLE file = CreateFileA(tree.windows("f").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const DWORD error = GetLastError();
    setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(error, DWORD(ERROR_TOO_MANY_OPEN_FILES));
}
