// Files: CreateFileA dispositions, the file pointer, entries that are never opened, and
// moves within and across file systems.
#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <sys/stat.h>

#include "layer_helpers.h"

static HANDLE open_file(const std::string& path, DWORD access, DWORD disposition, DWORD flags = 0)
{
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, flags, nullptr);
}

TEST(Files, dispositions_behave_as_on_windows)
{
    TempTree tree;
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
            EXPECT_EQ(file_contents(tree.host(name)), c.truncated ? "" : "old") << name;
        else
            EXPECT_EQ(tree.exists(name), c.opens) << name;
    }
}

TEST(Files, file_pointer_moves_with_64_bit_distances)
{
    TempTree tree;
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

// A FIFO would block open() for ever and opening a device may act on it: both are
// listed as empty files and refused at once, for reading and for writing.
TEST(Files, fifos_and_devices_are_listed_but_never_opened)
{
    TempTree tree;
    ASSERT_EQ(mkfifo(tree.host("pipe").c_str(), 0666), 0);
    for (const std::string& path : {tree.windows("pipe"), std::string("Z:\\dev\\null")}) {
        const WIN32_FIND_DATAA record = record_of(path);
        EXPECT_EQ(record.dwFileAttributes, DWORD(FILE_ATTRIBUTE_ARCHIVE)) << path;
        EXPECT_EQ(record.nFileSizeLow, 0u) << path;
        for (DWORD access : {DWORD(GENERIC_READ), DWORD(GENERIC_WRITE)}) {
            for (DWORD disposition : {DWORD(OPEN_EXISTING), DWORD(OPEN_ALWAYS), DWORD(CREATE_ALWAYS)}) {
                EXPECT_EQ(open_file(path, access, disposition), INVALID_HANDLE_VALUE) << path;
                EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED)) << path;
            }
        }
    }
    EXPECT_TRUE(tree.exists("pipe"));
}

// The file a lookup has just read is opened without a second look, but never through a
// link put in its place since: that is read again, and a FIFO behind it is not opened.
TEST(Files, an_entry_replaced_since_its_lookup_is_read_again_before_it_is_opened)
{
    TempTree tree;
    tree.file("f", "file");
    ASSERT_EQ(mkfifo(tree.host("pipe").c_str(), 0666), 0);
    const int opens = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(inotify_add_watch(opens, tree.host("pipe").c_str(), IN_OPEN), 0);
    ASSERT_EQ(record_of(tree.windows("f")).nFileSizeLow, 4u);
    ASSERT_EQ(unlink(tree.host("f").c_str()), 0);
    ASSERT_EQ(symlink("pipe", tree.host("f").c_str()), 0);
    EXPECT_EQ(open_file(tree.windows("f"), GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    char event[256];
    EXPECT_LT(read(opens, event, sizeof event), 0) << "the FIFO was opened";
    close(opens);
}

// Within a file system a move renames, to another spelling of its own name too.
TEST(Moves, renames_and_copies_across_file_systems_keeping_times_and_attributes)
{
    TempTree tree;
    TempTree other("/dev/shm");
    tree.file("a.txt", "A");
    tree.directory("d");
    EXPECT_TRUE(MoveFileA(tree.windows("a.txt").c_str(), tree.windows("d\\b.txt").c_str()));
    EXPECT_TRUE(MoveFileA(tree.windows("d").c_str(), tree.windows("e").c_str()));
    EXPECT_TRUE(MoveFileA(tree.windows("e\\b.txt").c_str(), tree.windows("e\\B.TXT").c_str()));
    EXPECT_EQ(search_names(tree.windows("*")), (std::vector<std::string>{".", "..", "e"}));
    EXPECT_EQ(search_names(tree.windows("e\\*")), (std::vector<std::string>{".", "..", "B.TXT"}));
    tree.file("src.bin", std::string(200000, 'z'));
    // An ordinary user stores the bits of a file only while he may still write it.
    tree.stored_bits("src.bin", "0x22");
    tree.mode("src.bin", 0444);
    tree.times("src.bin", 1300000000, 222222200);
    const std::string before = snapshot(tree.path());
    ASSERT_TRUE(MoveFileA(tree.windows("src.bin").c_str(), other.windows("src.bin").c_str()));
    EXPECT_FALSE(tree.exists("src.bin"));
    const std::string line = before.substr(before.find("/src.bin"));
    EXPECT_EQ(snapshot(other.path()), line);
}
