// Files made by CreateFileA: the template's permission bits and holes, stored attributes
// written by an owner who is not root, and a name that appears only when the handle is
// closed, also where the host cannot make a file without a name.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <csignal>
#include <fstream>
#include <iterator>

#include "platform/platform.h"
#include "platform/posix/handles.h"
#include "layer_helpers.h"

static HANDLE open_template(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                       nullptr);
}

static HANDLE create_from(const std::string& path, HANDLE model, DWORD attributes = 0)
{
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       attributes | FILE_FLAG_SEQUENTIAL_SCAN, model);
}

static std::string read_all(const std::string& host_path)
{
    std::ifstream input(host_path, std::ios::binary);
    return input ? std::string(std::istreambuf_iterator<char>(input), {}) : "<missing>";
}

static struct stat status_of(const std::string& host_path)
{
    struct stat status = {};
    stat(host_path.c_str(), &status);
    return status;
}

static off_t size_of(HANDLE file)
{
    struct stat status = {};
    fstat(handle_object(file)->fd, &status);
    return status.st_size;
}

// Copies the template as the program does, in blocks of chunk bytes; 0 when the file's
// size was right after every write, else the number of the write after which it was not.
static int copy_through(const std::string& from, const std::string& to, size_t chunk)
{
    HANDLE source = open_template(from);
    HANDLE copy = create_from(to, source);
    std::string buffer(chunk, '\0');
    off_t total = 0;
    int wrong_size_at = 0;
    for (int count = 1;; count++) {
        DWORD got = 0, put = 0;
        if (!ReadFile(source, buffer.data(), static_cast<DWORD>(chunk), &got, nullptr) || got == 0)
            break;
        if (!WriteFile(copy, buffer.data(), got, &put, nullptr)) {
            ADD_FAILURE() << to << ": write " << count << " failed with " << GetLastError();
            break;
        }
        total += got;
        if (wrong_size_at == 0 && size_of(copy) != total)
            wrong_size_at = count;
    }
    EXPECT_TRUE(CloseHandle(copy)) << to;
    CloseHandle(source);
    return wrong_size_at;
}

static void write_at(const std::string& host_path, off_t offset, const std::string& data)
{
    const int fd = open(host_path.c_str(), O_WRONLY);
    ASSERT_EQ(pwrite(fd, data.data(), data.size(), offset), static_cast<ssize_t>(data.size()));
    close(fd);
}

// What a check run as nobody found wrong, by number.
enum CreationFault { NAMED_BEFORE_CLOSE = 1, NOT_CLOSED, NOT_NAMED, WRONG_MODE, WRONG_ATTRIBUTES, REFUSED_ATTRIBUTES };

static int create_like(const LayerTree& tree, const std::string& name, mode_t expected_mode)
{
    const std::string model_path = tree.windows(name);
    const DWORD attributes = GetFileAttributesA(model_path.c_str());
    HANDLE model = open_template(model_path);
    HANDLE copy = create_from(tree.windows("copy-" + name), model, attributes);
    if (tree.exists("copy-" + name))
        return NAMED_BEFORE_CLOSE;
    DWORD put = 0;
    WriteFile(copy, "data", 4, &put, nullptr);
    const bool closed = CloseHandle(copy);
    CloseHandle(model);
    if (!closed)
        return NOT_CLOSED;
    if (!tree.exists("copy-" + name))
        return NOT_NAMED;
    if (mode_of(tree.host("copy-" + name)) != static_cast<int>(expected_mode))
        return WRONG_MODE;
    const std::string copy_path = tree.windows("copy-" + name);
    if (GetFileAttributesA(copy_path.c_str()) != attributes)
        return WRONG_ATTRIBUTES;
    // What the program does after the close: nothing is left to change, so nothing is refused.
    return SetFileAttributesA(copy_path.c_str(), attributes) ? 0 : REFUSED_ATTRIBUTES;
}

TEST(CreatedFiles, a_new_file_takes_the_templates_permission_bits_and_its_name_when_closed)
{
    const struct {
        const char* name;
        mode_t mode;
        const char* stored;  // user.DOSATTRIB of the template, or null
    } cases[] = {
        {"id_rsa", 0600, nullptr}, {"run.sh", 0755, nullptr}, {"locked", 0444, "0x22"},
        {"system", 0640, "0x24"},  {"setuid", 04755, nullptr},
    };
    for (const auto& c : cases) {
        LayerTree tree;
        tree.file(c.name, "template", 0600);
        // Handed over first: a change of owner clears the set-user-ID bit.
        tree.give_to_user();
        if (c.stored != nullptr)
            tree.stored_bits(c.name, c.stored);
        ASSERT_EQ(as_user([&] { return chmod(tree.host(c.name).c_str(), c.mode) == 0 ? 0 : 100; }), 0);
        EXPECT_EQ(as_user([&] { return create_like(tree, c.name, c.mode); }), 0) << c.name;
    }
}

TEST(CreatedFiles, a_closed_handle_replaces_what_stands_under_its_name)
{
    const struct {
        const char* name;
        bool exists_before;  // with a second hard link, which keeps the old contents
        bool appears_meanwhile;
    } cases[] = {{"existed", true, false}, {"appeared", false, true}, {"both", true, true}};
    for (const auto& c : cases) {
        LayerTree tree;
        if (c.exists_before) {
            tree.file("f", "old contents");
            ASSERT_EQ(link(tree.host("f").c_str(), tree.host("other").c_str()), 0);
        }
        HANDLE file = create_from(tree.windows("f"), nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << c.name;
        EXPECT_EQ(GetLastError(), c.exists_before ? DWORD(ERROR_ALREADY_EXISTS) : DWORD(ERROR_SUCCESS)) << c.name;
        EXPECT_EQ(read_all(tree.host("f")), c.exists_before ? "old contents" : "<missing>") << c.name;
        if (c.appears_meanwhile) {
            unlink(tree.host("f").c_str());
            tree.file("f", "meanwhile");
        }
        DWORD put = 0;
        EXPECT_TRUE(WriteFile(file, "new", 3, &put, nullptr));
        EXPECT_TRUE(CloseHandle(file)) << c.name;
        EXPECT_EQ(read_all(tree.host("f")), "new") << c.name;
        if (c.exists_before) {
            EXPECT_EQ(read_all(tree.host("other")), "old contents") << c.name;
        }
        EXPECT_EQ(search_names(tree.windows("*")).size(), c.exists_before ? 4u : 3u) << c.name << ": nothing else left";
    }
}

static const off_t MiB = 1 << 20;

TEST(CreatedFiles, a_template_with_holes_gives_a_copy_with_holes_whatever_the_block_size)
{
    LayerTree tree;
    const std::string data(5000, 'd');
    // Holes at the start, between unaligned runs of data, and at the end.
    tree.file("holes");
    ASSERT_EQ(truncate(tree.host("holes").c_str(), 8 * MiB + 100), 0);
    write_at(tree.host("holes"), MiB + 123, data);
    write_at(tree.host("holes"), 4 * MiB, std::string(64 * 1024, 'e'));
    // Zeros that take their blocks: no holes, copied block for block.
    tree.file("zeros", std::string(MiB, '\0'));
    for (const char* name : {"holes", "zeros"}) {
        for (size_t chunk : {size_t(65536), size_t(10000)}) {
            const std::string copy = std::string(name) + "-" + std::to_string(chunk);
            EXPECT_EQ(copy_through(tree.windows(name), tree.windows(copy), chunk), 0) << copy << ": size after a write";
            EXPECT_EQ(read_all(tree.host(copy)), read_all(tree.host(name))) << copy;
            const blkcnt_t source_blocks = status_of(tree.host(name)).st_blocks;
            EXPECT_NEAR(static_cast<double>(status_of(tree.host(copy)).st_blocks), static_cast<double>(source_blocks),
                        4 * 8)
                << copy << ": 512-byte blocks used";
        }
    }
}

// Holes take no room, but data still fills a disk and a size limit still stops a write,
// in the WriteFile that reaches it.
TEST(CreatedFilesAsRoot, holes_pass_a_full_disk_and_a_size_limit_that_data_does_not)
{
    REQUIRE_ROOT();
    LayerTree tree;
    tree.directory("small");
    ScopedMount small(tree.host("small"), "tmpfs", 0, "size=1m");
    ASSERT_TRUE(small.mounted()) << small.why();
    tree.file("mostly_holes");
    ASSERT_EQ(truncate(tree.host("mostly_holes").c_str(), 64 * MiB), 0);
    write_at(tree.host("mostly_holes"), 32 * MiB, std::string(100000, 'm'));
    tree.file("much_data");
    ASSERT_EQ(truncate(tree.host("much_data").c_str(), 4 * MiB), 0);
    write_at(tree.host("much_data"), 0, std::string(2 * MiB, 'x'));
    EXPECT_EQ(copy_through(tree.windows("mostly_holes"), tree.windows("small\\fits"), 65536), 0);
    EXPECT_EQ(read_all(tree.host("small/fits")), read_all(tree.host("mostly_holes")));

    const auto first_failure = [&](const std::string& from, const std::string& to, DWORD* error) {
        HANDLE source = open_template(from);
        HANDLE copy = create_from(to, source);
        std::string block(65536, '\0');
        int failed_at = 0;
        for (int count = 1; failed_at == 0; count++) {
            DWORD got = 0, put = 0;
            if (!ReadFile(source, block.data(), 65536, &got, nullptr) || got == 0)
                break;
            if (!WriteFile(copy, block.data(), got, &put, nullptr)) {
                failed_at = count;
                *error = GetLastError();
            }
        }
        CloseHandle(copy);
        CloseHandle(source);
        return failed_at;
    };
    DWORD error = 0;
    EXPECT_GT(first_failure(tree.windows("much_data"), tree.windows("small\\full"), &error), 0);
    EXPECT_EQ(error, DWORD(ERROR_DISK_FULL));
    // A limit of 1 MiB: the sixteenth block of holes reaches it, the seventeenth passes it.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const struct rlimit limit = {static_cast<rlim_t>(MiB), static_cast<rlim_t>(MiB)};
        setrlimit(RLIMIT_FSIZE, &limit);
        DWORD code = 0;
        const int failed_at = first_failure(tree.windows("mostly_holes"), tree.windows("limited"), &code);
        _exit(failed_at == 17 && code == ERROR_FILE_TOO_LARGE ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a size limit passed by a hole";
}

// Without /proc (or on a file system that cannot make a file without a name) the file
// stands under a temporary name beside its own until it is closed; so does the copy of
// a move to another file system.
TEST(CreatedFilesAsRoot, without_proc_a_temporary_name_stands_in_until_the_close)
{
    REQUIRE_ROOT();
    LayerTree tree;
    LayerTree other("/dev/shm");
    tree.file("model", "m", 0640);
    tree.file("moved", "moving", 0750);
    tree.give_to_user();
    other.give_to_user();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("none", "/proc", "tmpfs", 0, "size=64k") != 0)
            _exit(100);
        _exit(as_user([&] {
            HANDLE model = open_template(tree.windows("model"));
            HANDLE file = create_from(tree.windows("made"), model);
            const std::vector<std::string> open_names = search_names(tree.windows(".made.*"));
            if (open_names.size() != 1 || tree.exists("made"))
                return 1;
            DWORD put = 0;
            WriteFile(file, "new", 3, &put, nullptr);
            if (!CloseHandle(file) || read_all(tree.host("made")) != "new" || mode_of(tree.host("made")) != 0640)
                return 2;
            if (!search_names(tree.windows(".made.*")).empty())
                return 3;
            if (!MoveFileA(tree.windows("moved").c_str(), other.windows("moved").c_str()))
                return 4;
            return read_all(other.host("moved")) == "moving" && mode_of(other.host("moved")) == 0750 &&
                           search_names(other.windows("*")).size() == 3
                       ? 0
                       : 5;
        }));
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 100) << "cannot hide /proc in a mount namespace of its own";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
