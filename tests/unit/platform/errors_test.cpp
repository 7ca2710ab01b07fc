// The layer's error codes: each failure, provoked through a call that meets it, gives
// the Windows code the program tells its messages by.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>

#include "layer_helpers.h"

static BOOL opens(const std::string& path, DWORD access, DWORD disposition, DWORD flags = 0)
{
    HANDLE file = CreateFileA(path.c_str(), access, 0, nullptr, disposition, flags, nullptr);
    return file != INVALID_HANDLE_VALUE && CloseHandle(file);
}

static BOOL finds(const std::string& pattern)
{
    return !search_names(pattern).empty();
}

// Opens a file with no descriptor left to the process.
static BOOL opens_with_no_descriptor_left(const std::string& path)
{
    struct rlimit saved;
    const int probe = open("/dev/null", O_RDONLY);
    if (probe < 0 || getrlimit(RLIMIT_NOFILE, &saved) != 0 || close(probe) != 0)
        return TRUE;
    struct rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(probe);
    setrlimit(RLIMIT_NOFILE, &tight);
    const BOOL opened = opens(path, GENERIC_READ, OPEN_EXISTING);
    const DWORD error = GetLastError();
    setrlimit(RLIMIT_NOFILE, &saved);
    SetLastError(error);
    return opened;
}

// The user's search of pattern, with the error it left; a directory its owner made
// unreadable is refused to him as well as to nobody, when the suite runs as root.
static BOOL user_finds(const std::string& pattern)
{
    const int error = as_user([&] { return finds(pattern) ? 0 : static_cast<int>(GetLastError()); });
    SetLastError(static_cast<DWORD>(error));
    return error == 0;
}

static BOOL has_attributes(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(Errors, each_failure_gives_its_windows_code)
{
    TempTree tree;
    TempTree other("/dev/shm");
    tree.file("full/x");
    tree.file("file");
    tree.file("ro", "keep", 0444);
    tree.file("closed/x");
    tree.link("dangling", "nowhere");
    tree.link("one", "two");
    tree.link("two", "one");
    tree.directory("rodir");
    ASSERT_TRUE(SetFileAttributesA(tree.windows("rodir").c_str(), FILE_ATTRIBUTE_READONLY));
    tree.give_to_user();
    tree.mode("closed", 0);
    const auto w = [&](const std::string& relative) { return tree.windows(relative); };
    std::string very_long = tree.windows();
    while (very_long.size() < 5000)
        very_long += "\\component";
    ScopedEnvironment unmapped("ORVA_DRIVE_K", nullptr);
    char byte;
    DWORD count = 0;
    const struct {
        const char* what;
        std::function<BOOL()> call;
        DWORD code;
    } cases[] = {
        {"directory exists by another case", [&] { return CreateDirectoryA(w("FULL").c_str(), nullptr); }, ERROR_ALREADY_EXISTS},
        {"directory in a missing one", [&] { return CreateDirectoryA(w("no\\new").c_str(), nullptr); }, ERROR_PATH_NOT_FOUND},
        {"model directory missing", [&] { return CreateDirectoryExA(w("none").c_str(), w("x").c_str(), nullptr); }, ERROR_FILE_NOT_FOUND},
        {"remove a full directory", [&] { return RemoveDirectoryA(w("full").c_str()); }, ERROR_DIR_NOT_EMPTY},
        {"remove a file as a directory", [&] { return RemoveDirectoryA(w("file").c_str()); }, ERROR_DIRECTORY},
        {"remove a missing directory", [&] { return RemoveDirectoryA(w("none").c_str()); }, ERROR_FILE_NOT_FOUND},
        {"remove a read-only directory", [&] { return RemoveDirectoryA(w("rodir").c_str()); }, ERROR_ACCESS_DENIED},
        {"delete a directory", [&] { return DeleteFileA(w("full").c_str()); }, ERROR_ACCESS_DENIED},
        {"delete a read-only file", [&] { return DeleteFileA(w("ro").c_str()); }, ERROR_ACCESS_DENIED},
        {"delete a missing file", [&] { return DeleteFileA(w("none").c_str()); }, ERROR_FILE_NOT_FOUND},
        {"move into itself", [&] { return MoveFileA(w("full").c_str(), w("full\\inside").c_str()); }, ERROR_INVALID_PARAMETER},
        {"move onto another entry", [&] { return MoveFileA(w("file").c_str(), w("RO").c_str()); }, ERROR_ALREADY_EXISTS},
        {"move a missing entry", [&] { return MoveFileA(w("none").c_str(), w("c").c_str()); }, ERROR_FILE_NOT_FOUND},
        {"move a directory to another file system",
         [&] { return MoveFileA(w("rodir").c_str(), other.windows("d").c_str()); }, ERROR_NOT_SAME_DEVICE},
        {"write a read-only file", [&] { return opens(w("ro"), GENERIC_WRITE, OPEN_EXISTING); }, ERROR_ACCESS_DENIED},
        {"replace a read-only file", [&] { return opens(w("ro"), GENERIC_WRITE, CREATE_ALWAYS); }, ERROR_ACCESS_DENIED},
        {"truncate a read-only file", [&] { return opens(w("ro"), GENERIC_WRITE, TRUNCATE_EXISTING); }, ERROR_ACCESS_DENIED},
        {"open a directory without backup semantics", [&] { return opens(w("full"), GENERIC_WRITE, OPEN_EXISTING); },
         ERROR_ACCESS_DENIED},
        {"open a dangling link", [&] { return opens(w("dangling"), GENERIC_READ, OPEN_EXISTING); }, ERROR_FILE_NOT_FOUND},
        {"write through a dangling link", [&] { return opens(w("dangling"), GENERIC_WRITE, CREATE_ALWAYS); },
         ERROR_ACCESS_DENIED},
        {"open a looping link", [&] { return opens(w("one"), GENERIC_READ, OPEN_EXISTING); }, ERROR_CANT_RESOLVE_FILENAME},
        {"no descriptor left", [&] { return opens_with_no_descriptor_left(w("file")); }, ERROR_TOO_MANY_OPEN_FILES},
        {"unknown disposition", [&] { return opens(w("x"), GENERIC_READ, 9); }, ERROR_INVALID_PARAMETER},
        {"read a handle never opened", [&] { return ReadFile(INVALID_HANDLE_VALUE, &byte, 1, &count, nullptr); },
         ERROR_INVALID_HANDLE},
        {"close a search never opened", [&] { return FindClose(INVALID_HANDLE_VALUE); }, ERROR_INVALID_HANDLE},
        {"wildcard in a directory", [&] { return finds(w("s*\\x")); }, ERROR_INVALID_NAME},
        {"wildcard in the last directory", [&] { return finds(w("ful?\\*")); }, ERROR_INVALID_NAME},
        {"search a missing name", [&] { return finds(w("full\\nothing.txt")); }, ERROR_FILE_NOT_FOUND},
        {"search a pattern nothing matches", [&] { return finds(w("full\\*.none")); }, ERROR_FILE_NOT_FOUND},
        {"search with a trailing separator", [&] { return finds(w("full\\")); }, ERROR_FILE_NOT_FOUND},
        {"search in a missing directory", [&] { return finds(w("missing\\deeper\\*")); }, ERROR_PATH_NOT_FOUND},
        {"search an unreadable directory", [&] { return user_finds(w("closed\\*")); }, ERROR_ACCESS_DENIED},
        {"search in a file", [&] { return finds(w("file\\*")); }, ERROR_PATH_NOT_FOUND},
        {"search an unmapped drive", [&] { return finds("K:\\*"); }, ERROR_PATH_NOT_FOUND},
        {"missing entry", [&] { return has_attributes(w("none")); }, ERROR_FILE_NOT_FOUND},
        {"set bits in a missing directory", [&] { return SetFileAttributesA(w("none\\x").c_str(), 0); }, ERROR_PATH_NOT_FOUND},
        {"path too long", [&] { return has_attributes(very_long); }, ERROR_FILENAME_EXCED_RANGE},
        {"path far too long", [&] { return has_attributes(std::string(40000, 'a')); }, ERROR_FILENAME_EXCED_RANGE},
        {"name too long", [&] { return has_attributes(w(std::string(300, 'n'))); }, ERROR_FILENAME_EXCED_RANGE},
        {"'|' in a name", [&] { return has_attributes(w("bad|name")); }, ERROR_INVALID_NAME},
        {"tab in a name", [&] { return has_attributes(w("tab\there")); }, ERROR_INVALID_NAME},
        {"':' in a name", [&] { return has_attributes(w("a:b")); }, ERROR_INVALID_NAME},
        {"bytes no code page shows", [&] { return has_attributes(w("\xFF\xFE\x80")); }, ERROR_FILE_NOT_FOUND},
        {"network path", [&] { return has_attributes("\\\\server\\share\\x"); }, ERROR_PATH_NOT_FOUND},
        {"empty path", [&] { return has_attributes(""); }, ERROR_PATH_NOT_FOUND},
    };
    for (const auto& c : cases)
        EXPECT_EQ(error_after(c.call()), c.code) << c.what;
    EXPECT_EQ(file_contents(tree.host("ro")), "keep");
    EXPECT_TRUE(tree.exists("rodir"));
    EXPECT_FALSE(tree.exists("nowhere"));
}

TEST(ErrorsAsRoot, immutable_full_read_only_and_busy_file_systems_give_their_codes)
{
    REQUIRE_ROOT();
    TempTree tree;
    tree.file("fixed");
    ASSERT_EQ(system(("chattr +i " + tree.host("fixed")).c_str()), 0);
    EXPECT_EQ(error_after(DeleteFileA(tree.windows("fixed").c_str())), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(system(("chattr -i " + tree.host("fixed")).c_str()), 0);
    tree.directory("small");
    tree.directory("ro");
    ScopedMount small(tree.host("small"), "tmpfs", 0, "size=64k");
    ScopedMount read_only(tree.host("ro"), "tmpfs", MS_RDONLY, "size=64k");
    ASSERT_TRUE(small.mounted() && read_only.mounted()) << small.why() << read_only.why();
    EXPECT_EQ(error_after(RemoveDirectoryA(tree.windows("small").c_str())), DWORD(ERROR_GEN_FAILURE));
    HANDLE file = CreateFileA(tree.windows("small\\big").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const std::string block(65536, 'x');
    DWORD written = 0;
    BOOL ok = file != INVALID_HANDLE_VALUE;
    for (int i = 0; i < 4 && ok; i++)
        ok = WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
    EXPECT_EQ(error_after(ok), DWORD(ERROR_DISK_FULL));
    CloseHandle(file);
    EXPECT_EQ(error_after(opens(tree.windows("ro\\new"), GENERIC_WRITE, CREATE_NEW)), DWORD(ERROR_WRITE_PROTECT));
    EXPECT_EQ(error_after(CreateDirectoryA(tree.windows("ro\\d").c_str(), nullptr)), DWORD(ERROR_WRITE_PROTECT));
}
