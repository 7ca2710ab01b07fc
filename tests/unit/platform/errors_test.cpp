// The host's failures, provoked through the calls that meet them, give Windows codes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>

#include "layer_helpers.h"

TEST(Errors, directory_calls_give_windows_codes)
{
    LayerTree tree;
    tree.file("full/x");
    tree.file("file");
    tree.file("ro", "", 0444);
    tree.directory("rodir");
    ASSERT_TRUE(SetFileAttributesA(tree.windows("rodir").c_str(), FILE_ATTRIBUTE_READONLY));
    const auto w = [&](const char* relative) { return tree.windows(relative); };
    const struct {
        std::function<BOOL()> call;
        DWORD code;
    } cases[] = {
        {[&] { return CreateDirectoryA(w("FULL").c_str(), nullptr); }, ERROR_ALREADY_EXISTS},
        {[&] { return CreateDirectoryA(w("no\\new").c_str(), nullptr); }, ERROR_PATH_NOT_FOUND},
        {[&] { return RemoveDirectoryA(w("full").c_str()); }, ERROR_DIR_NOT_EMPTY},
        {[&] { return RemoveDirectoryA(w("file").c_str()); }, ERROR_DIRECTORY},
        {[&] { return RemoveDirectoryA(w("none").c_str()); }, ERROR_FILE_NOT_FOUND},
        {[&] { return RemoveDirectoryA(w("rodir").c_str()); }, ERROR_ACCESS_DENIED},
        {[&] { return DeleteFileA(w("full").c_str()); }, ERROR_ACCESS_DENIED},
        {[&] { return DeleteFileA(w("ro").c_str()); }, ERROR_ACCESS_DENIED},
        {[&] { return MoveFileA(w("full").c_str(), w("full\\inside").c_str()); }, ERROR_INVALID_PARAMETER},
        {[&] { return CreateDirectoryExA(w("none").c_str(), w("x").c_str(), nullptr); }, ERROR_FILE_NOT_FOUND},
    };
    for (size_t i = 0; i < std::size(cases); i++)
        EXPECT_EQ(error_after(cases[i].call()), cases[i].code) << "case " << i;
    EXPECT_TRUE(tree.exists("ro"));
    ASSERT_TRUE(SetFileAttributesA(w("rodir").c_str(), 0));
    EXPECT_TRUE(RemoveDirectoryA(w("rodir").c_str()));
}

// A directory its owner made unreadable is refused to him as well (and to nobody, when
// the suite runs as root).
TEST(Errors, unreadable_directory_gives_access_denied)
{
    LayerTree tree;
    tree.file("closed/x");
    tree.give_to_user();
    tree.mode("closed", 0);
    EXPECT_EQ(as_user([&] {
        WIN32_FIND_DATAA record;
        const bool found = FindFirstFileA(tree.windows("closed\\*").c_str(), &record) != INVALID_HANDLE_VALUE;
        return found ? 1 : GetLastError() == ERROR_ACCESS_DENIED ? 0 : 2;
    }), 0);
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

TEST(ErrorsAsRoot, immutable_full_read_only_and_busy_file_systems_give_their_codes)
{
    REQUIRE_ROOT();
    LayerTree tree;
    tree.file("fixed");
    ASSERT_EQ(system(("chattr +i " + tree.host("fixed")).c_str()), 0);
    EXPECT_EQ(error_after(DeleteFileA(tree.windows("fixed").c_str())), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(system(("chattr -i " + tree.host("fixed")).c_str()), 0);
    for (const char* name : {"small", "ro"})
        tree.directory(name);
    ScopedMount small(tree.host("small"), "tmpfs", 0, "size=64k");
    ScopedMount read_only(tree.host("ro"), "tmpfs", MS_RDONLY, "size=64k");
    ASSERT_TRUE(small.mounted() && read_only.mounted()) << small.why() << read_only.why();
    EXPECT_EQ(error_after(RemoveDirectoryA(tree.windows("small").c_str())), DWORD(ERROR_GEN_FAILURE));
    HANDLE file = CreateFileA(tree.windows("small\\big").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::string block(65536, 'x');
    DWORD written = 0;
    BOOL ok = TRUE;
    for (int i = 0; i < 4 && ok; i++)
        ok = WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
    EXPECT_EQ(error_after(ok), DWORD(ERROR_DISK_FULL));
    CloseHandle(file);
    EXPECT_EQ(CreateFileA(tree.windows("ro\\new").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_WRITE_PROTECT));
    EXPECT_EQ(error_after(CreateDirectoryA(tree.windows("ro\\d").c_str(), nullptr)), DWORD(ERROR_WRITE_PROTECT));
}
