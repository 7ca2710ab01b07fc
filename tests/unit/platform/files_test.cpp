// Files: CreateFileA dispositions, reading and writing, the file pointer, times to 100 ns.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <iterator>

#include "platform/platform.h"
#include "layer_helpers.h"

static HANDLE open_file(const std::string& path, DWORD access, DWORD disposition, DWORD flags = 0)
{
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, flags, nullptr);
}

static std::string read_all(const std::string& host_path)
{
    std::ifstream input(host_path, std::ios::binary);
    return input ? std::string(std::istreambuf_iterator<char>(input), {}) : "<missing>";
}

TEST(Files, dispositions_behave_as_on_windows)
{
    LayerTree tree;
    const struct {
        DWORD disposition;
        bool exists_before;
        bool opens;
        DWORD error;       // the last error after the call
        bool truncated;
    } cases[] = {
        {CREATE_NEW, false, true, ERROR_SUCCESS, false},
        {CREATE_NEW, true, false, ERROR_FILE_EXISTS, false},
        {CREATE_ALWAYS, false, true, ERROR_SUCCESS, false},
        {CREATE_ALWAYS, true, true, ERROR_ALREADY_EXISTS, true},
        {OPEN_EXISTING, false, false, ERROR_FILE_NOT_FOUND, false},
        {OPEN_EXISTING, true, true, ERROR_SUCCESS, false},
        {OPEN_ALWAYS, false, true, ERROR_SUCCESS, false},
        {OPEN_ALWAYS, true, true, ERROR_ALREADY_EXISTS, false},
        {TRUNCATE_EXISTING, false, false, ERROR_FILE_NOT_FOUND, false},
        {TRUNCATE_EXISTING, true, true, ERROR_SUCCESS, true},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string name = "f" + std::to_string(n++);
        if (c.exists_before)
            tree.file(name, "old");
        HANDLE file = open_file(tree.windows(name), GENERIC_READ | GENERIC_WRITE, c.disposition);
        EXPECT_EQ(file != INVALID_HANDLE_VALUE, c.opens) << name;
        EXPECT_EQ(GetLastError(), c.error) << name;
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        if (c.exists_before)
            EXPECT_EQ(read_all(tree.host(name)), c.truncated ? "" : "old") << name;
        else
            EXPECT_EQ(tree.exists(name), c.opens) << name;
    }
}

TEST(Files, write_then_read_back)
{
    LayerTree tree;
    HANDLE file = open_file(tree.windows("data"), GENERIC_WRITE, CREATE_ALWAYS, FILE_FLAG_WRITE_THROUGH);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string content(100000, 'x');
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
    EXPECT_EQ(written, content.size());
    EXPECT_TRUE(CloseHandle(file));
    file = open_file(tree.windows("data"), GENERIC_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string back(200000, '\0');
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(file, back.data(), static_cast<DWORD>(back.size()), &read, nullptr));
    EXPECT_EQ(read, content.size());
    EXPECT_TRUE(ReadFile(file, back.data(), 10, &read, nullptr));
    EXPECT_EQ(read, 0u);
    CloseHandle(file);
}

TEST(Files, file_pointer_moves_with_64_bit_distances)
{
    LayerTree tree;
    HANDLE file = open_file(tree.windows("sparse"), GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LONG high = 1;
    EXPECT_EQ(SetFilePointer(file, 16, &high, FILE_BEGIN), 16u);
    EXPECT_EQ(high, 1);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, "end", 3, &written, nullptr));
    high = 0;
    EXPECT_EQ(SetFilePointer(file, 0, &high, FILE_END), 19u);
    EXPECT_EQ(high, 1);
    high = 0;
    EXPECT_EQ(SetFilePointer(file, 100, &high, FILE_BEGIN), 100u);
    EXPECT_EQ(SetFilePointer(file, -50, nullptr, FILE_CURRENT), 50u);
    // Before the start of the file: the failure value in both halves. With a high part
    // the low part is unsigned, so -200 needs a high part of -1.
    high = -1;
    EXPECT_EQ(SetFilePointer(file, -200, &high, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(high, -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_END), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    CloseHandle(file);
}

TEST(Files, times_are_kept_to_100_nanoseconds_and_null_leaves_a_time_alone)
{
    LayerTree tree;
    HANDLE file = open_file(tree.windows("t"), GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const auto value = [](const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    FILETIME creation = {1, 1}, access = {0x12345677, 0x01D00000}, write = {0x89ABCDEF, 0x01D80000};
    EXPECT_TRUE(SetFileTime(file, &creation, &access, &write));
    FILETIME got_access, got_write, got_creation;
    EXPECT_TRUE(GetFileTime(file, &got_creation, &got_access, &got_write));
    EXPECT_EQ(value(got_access), value(access));
    EXPECT_EQ(value(got_write), value(write));
    FILETIME later = {write.dwLowDateTime, write.dwHighDateTime + 1};
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &later));
    EXPECT_TRUE(GetFileTime(file, nullptr, &got_access, &got_write));
    EXPECT_EQ(value(got_access), value(access));
    EXPECT_EQ(value(got_write), value(later));
    CloseHandle(file);
}

TEST(Files, directory_opens_with_backup_semantics_to_set_its_time)
{
    LayerTree tree;
    tree.directory("d");
    HANDLE plain = open_file(tree.windows("d"), GENERIC_WRITE, OPEN_EXISTING);
    EXPECT_EQ(plain, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    HANDLE directory = open_file(tree.windows("d"), GENERIC_WRITE, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
    ASSERT_NE(directory, INVALID_HANDLE_VALUE);
    FILETIME write = {0x11111111, 0x01D90000};
    EXPECT_TRUE(SetFileTime(directory, nullptr, nullptr, &write));
    CloseHandle(directory);
    struct stat status;
    ASSERT_EQ(stat(tree.host("d").c_str(), &status), 0);
    const uint64_t ticks = (uint64_t(write.dwHighDateTime) << 32) | write.dwLowDateTime;
    EXPECT_EQ(status.st_mtim.tv_sec, static_cast<time_t>(ticks / 10000000 - 11644473600ull));
}

TEST(Files, read_only_file_refuses_writers)
{
    LayerTree tree;
    tree.file("ro", "keep", 0444);
    for (DWORD disposition : {DWORD(OPEN_EXISTING), DWORD(CREATE_ALWAYS), DWORD(OPEN_ALWAYS), DWORD(TRUNCATE_EXISTING)}) {
        EXPECT_EQ(open_file(tree.windows("ro"), GENERIC_WRITE, disposition), INVALID_HANDLE_VALUE) << disposition;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << disposition;
    }
    EXPECT_EQ(read_all(tree.host("ro")), "keep");
    HANDLE reader = open_file(tree.windows("ro"), GENERIC_READ, OPEN_EXISTING);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);
}

TEST(Files, creation_stores_the_attributes_it_was_given)
{
    LayerTree tree;
    HANDLE file = open_file(tree.windows("made"), GENERIC_WRITE, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_SEQUENTIAL_SCAN);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, "abc", 3, &written, nullptr));
    CloseHandle(file);
    EXPECT_EQ(GetFileAttributesA(tree.windows("made").c_str()),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(read_all(tree.host("made")), "abc");
}

TEST(Files, handles_that_are_not_open_are_refused)
{
    DWORD count = 0;
    char byte;
    EXPECT_FALSE(ReadFile(INVALID_HANDLE_VALUE, &byte, 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileA("Z:\\tmp\\x", GENERIC_READ, 0, nullptr, 9, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// A FIFO would block open() for ever and opening a device may act on it: both are
// listed as empty files and refused at once, for reading and for writing.
TEST(Files, fifos_and_devices_are_listed_but_never_opened)
{
    LayerTree tree;
    ASSERT_EQ(mkfifo(tree.host("pipe").c_str(), 0666), 0);
    const bool has_device = mknod(tree.host("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    for (const char* name : {"pipe", "null"}) {
        if (std::string(name) == "null" && !has_device)
            continue;
        WIN32_FIND_DATAA record = {};
        HANDLE search = FindFirstFileA(tree.windows(name).c_str(), &record);
        ASSERT_NE(search, INVALID_HANDLE_VALUE) << name;
        FindClose(search);
        EXPECT_EQ(record.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u) << name;
        EXPECT_EQ(record.nFileSizeLow, 0u) << name;
        for (DWORD access : {DWORD(GENERIC_READ), DWORD(GENERIC_WRITE)}) {
            for (DWORD disposition : {DWORD(OPEN_EXISTING), DWORD(OPEN_ALWAYS), DWORD(CREATE_ALWAYS)}) {
                EXPECT_EQ(open_file(tree.windows(name), access, disposition), INVALID_HANDLE_VALUE) << name;
                EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED)) << name;
            }
        }
    }
    EXPECT_TRUE(tree.exists("pipe"));
}
