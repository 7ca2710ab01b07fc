// Files made by CreateFileA beyond what copies of random trees make: a set-user-ID
// template, a name that appears only at the close over whatever stands there by then,
// and a host that cannot make a file without a name.
#include <gtest/gtest.h>

#include <sched.h>

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

// The name the file takes at its close must not make the directory's table lose the entry.
TEST(CreatedFiles, an_entry_another_program_made_while_a_file_was_open_is_still_found)
{
    TempTree tree;
    tree.file("a", "a");
    HANDLE file = create_from(tree.windows("new"), nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(search_names(tree.windows("*")), (std::vector<std::string>{".", "..", "a"}));
    tree.file("other", "made meanwhile");
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(search_names(tree.windows("*")), (std::vector<std::string>{".", "..", "a", "new", "other"}));
}

// Random trees never hold a set-user-ID file.
TEST(CreatedFiles, a_set_user_id_template_gives_its_bits_to_a_copy_named_at_the_close)
{
    TempTree tree;
    tree.file("setuid", "template", 0600);
    // Handed over first: a change of owner clears the set-user-ID bit.
    tree.give_to_user();
    EXPECT_EQ(as_user([&] {
        if (chmod(tree.host("setuid").c_str(), 04755) != 0)
            return 1;
        HANDLE model = open_template(tree.windows("setuid"));
        HANDLE copy = create_from(tree.windows("copy"), model);
        const bool named_early = tree.exists("copy");
        const bool closed = CloseHandle(copy) && CloseHandle(model);
        return named_early ? 2 : !closed ? 3 : mode_of(tree.host("copy")) != 04755 ? 4 : 0;
    }), 0);
}

TEST(CreatedFiles, a_closed_handle_replaces_what_stands_under_its_name)
{
    const struct {
        const char* name;
        bool exists_before;  // with a second hard link, which keeps the old contents
        bool appears_meanwhile;
    } cases[] = {{"existed", true, false}, {"appeared", false, true}, {"both", true, true}};
    for (const auto& c : cases) {
        TempTree tree;
        if (c.exists_before) {
            tree.file("f", "old contents");
            ASSERT_EQ(link(tree.host("f").c_str(), tree.host("other").c_str()), 0);
        }
        HANDLE file = create_from(tree.windows("f"), nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << c.name;
        EXPECT_EQ(GetLastError(), c.exists_before ? DWORD(ERROR_ALREADY_EXISTS) : DWORD(ERROR_SUCCESS)) << c.name;
        EXPECT_EQ(file_contents(tree.host("f")), c.exists_before ? "old contents" : "<missing>") << c.name;
        if (c.appears_meanwhile) {
            unlink(tree.host("f").c_str());
            tree.file("f", "meanwhile");
        }
        DWORD put = 0;
        EXPECT_TRUE(WriteFile(file, "new", 3, &put, nullptr));
        EXPECT_TRUE(CloseHandle(file)) << c.name;
        EXPECT_EQ(file_contents(tree.host("f")), "new") << c.name;
        if (c.exists_before) {
            EXPECT_EQ(file_contents(tree.host("other")), "old contents") << c.name;
        }
        EXPECT_EQ(search_names(tree.windows("*")).size(), c.exists_before ? 4u : 3u) << c.name << ": nothing else left";
    }
}

// As on a file system that cannot make a file without a name.
TEST(CreatedFilesAsRoot, without_proc_a_temporary_name_stands_in_until_the_close)
{
    REQUIRE_ROOT();
    TempTree tree;
    tree.file("model", "m", 0640);
    tree.give_to_user();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("none", "/proc", "tmpfs", 0, "size=64k") != 0)
            _exit(100);
        _exit(as_user([&] {
            HANDLE model = open_template(tree.windows("model"));
            HANDLE file = create_from(tree.windows("made"), model);
            DWORD put = 0;
            const bool stood_in = search_names(tree.windows(".made.*")).size() == 1 && !tree.exists("made");
            const bool closed = WriteFile(file, "new", 3, &put, nullptr) && CloseHandle(file) && CloseHandle(model);
            return stood_in && closed && file_contents(tree.host("made")) == "new" && mode_of(tree.host("made")) == 0640 &&
                           search_names(tree.windows(".made.*")).empty()
                       ? 0
                       : 1;
        }));
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 100) << "cannot hide /proc in a mount namespace of its own";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
