// A real directory tree under a temporary folder for the layer's tests, removed afterwards.
#pragma once

#include <cstdlib>
#include <fcntl.h>
#include <ftw.h>
#include <stdexcept>
#include <string>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/code_page.h"
#include "platform/posix/table_cache.h"

class TemporaryTree {
public:
    explicit TemporaryTree(const char* parent = "/tmp") : root_(std::string(parent) + "/orva-layer-XXXXXX")
    {
        if (mkdtemp(root_.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        forget_all_directories();  // each test starts from the disk, not from another test's tables
    }
    ~TemporaryTree() { remove_all(root_); }
    TemporaryTree(const TemporaryTree&) = delete;
    TemporaryTree& operator=(const TemporaryTree&) = delete;

    const std::string& root() const { return root_; }
    std::string host(const std::string& relative) const { return relative.empty() ? root_ : root_ + "/" + relative; }
    // The Windows path of a relative host path: Z:\tmp\orva-layer-x\a\b.
    std::string windows(const std::string& relative = "") const
    {
        std::string text = "Z:" + host(relative);
        for (char& c : text)
            c = c == '/' ? '\\' : c;
        return text;
    }

    void file(const std::string& relative, const std::string& content = "", mode_t mode = 0644) const
    {
        const int fd = open(host(relative).c_str(), O_WRONLY | O_CREAT | O_TRUNC, mode);
        const bool written =
            fd >= 0 && write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
        if (fd >= 0)
            close(fd);
        if (!written || chmod(host(relative).c_str(), mode) != 0)
            throw std::runtime_error("cannot create " + relative);
    }
    void directory(const std::string& relative, mode_t mode = 0755) const
    {
        if (mkdir(host(relative).c_str(), mode) != 0)
            throw std::runtime_error("cannot create directory " + relative);
    }
    void link(const std::string& relative, const std::string& target) const
    {
        if (symlink(target.c_str(), host(relative).c_str()) != 0)
            throw std::runtime_error("cannot link " + relative);
    }
    bool exists(const std::string& relative) const
    {
        struct stat status;
        return lstat(host(relative).c_str(), &status) == 0;
    }
    mode_t mode_of(const std::string& relative) const
    {
        struct stat status;
        return stat(host(relative).c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
    }
    // Hands the tree, its root included, to the user nobody: the layer then meets it as
    // an ordinary user's own files when a check runs as_nobody.
    void give_to_nobody() const
    {
        const struct passwd* nobody = getpwnam("nobody");
        if (nobody == nullptr)
            throw std::runtime_error("no user nobody");
        const uid_t uid = nobody->pw_uid;
        const gid_t gid = nobody->pw_gid;
        static uid_t owner;
        static gid_t group;
        owner = uid;
        group = gid;
        nftw(root_.c_str(), [](const char* entry, const struct stat*, int, struct FTW*) {
            return lchown(entry, owner, group) == 0 ? 0 : 1;
        }, 32, FTW_PHYS);
    }
    static void remove_all(const std::string& path)
    {
        nftw(path.c_str(), [](const char* entry, const struct stat* status, int, struct FTW*) {
            if (S_ISDIR(status->st_mode))
                chmod(entry, 0700);
            S_ISDIR(status->st_mode) ? rmdir(entry) : unlink(entry);
            return 0;
        }, 32, FTW_DEPTH | FTW_PHYS);
    }

private:
    std::string root_;
};

// Sets (or with nullptr removes) an environment variable for the life of the object; the
// code page and the alias tables are read again both times.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name), had_(getenv(name) != nullptr)
    {
        if (had_)
            old_ = getenv(name);
        set(value);
    }
    ~ScopedEnvironment() { set(had_ ? old_.c_str() : nullptr); }

private:
    void set(const char* value)
    {
        if (value != nullptr)
            setenv(name_.c_str(), value, 1);
        else
            unsetenv(name_.c_str());
        reload_code_page();
        forget_all_directories();
    }
    std::string name_;
    bool had_;
    std::string old_;
};

// Runs check in a child process that has become the user nobody, and returns what check
// returned (0 for a check that held) or -1 when the child could not become nobody or did
// not end by itself. The layer's promises hold for an ordinary user, which root, who
// passes every permission check, cannot show.
inline int as_nobody(const std::function<int()>& check)
{
    const struct passwd* nobody = getpwnam("nobody");
    if (nobody == nullptr)
        return -1;
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setresgid(gid, gid, gid) != 0 || setresuid(uid, uid, uid) != 0)
            _exit(255);
        forget_all_directories();
        _exit(check());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 255)
        return -1;
    return WEXITSTATUS(status);
}

// The names a search returns, in order.
inline std::vector<std::string> search_names(const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA record;
    HANDLE search = FindFirstFileA(pattern.c_str(), &record);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        names.push_back(record.cFileName);
    } while (FindNextFileA(search, &record));
    FindClose(search);
    return names;
}
