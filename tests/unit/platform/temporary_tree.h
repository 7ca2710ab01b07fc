// A real directory tree under a temporary folder for the layer's tests, removed afterwards.
#pragma once

#include <cstdlib>
#include <fcntl.h>
#include <ftw.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
#include "platform/posix/table_cache.h"

class TemporaryTree {
public:
    explicit TemporaryTree(const char* parent = "/tmp")
    {
        std::string pattern = std::string(parent) + "/orva-layer-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
        // Each test starts from what is on disk, not from another test's tables.
        forget_all_directories();
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
        for (char& c : text) {
            if (c == '/')
                c = '\\';
        }
        return text;
    }

    void file(const std::string& relative, const std::string& content = "", mode_t mode = 0644) const
    {
        const int fd = open(host(relative).c_str(), O_WRONLY | O_CREAT | O_TRUNC, mode);
        if (fd < 0)
            throw std::runtime_error("cannot create " + relative);
        if (!content.empty() && write(fd, content.data(), content.size()) != static_cast<ssize_t>(content.size()))
            throw std::runtime_error("cannot write " + relative);
        close(fd);
        fchmod_path(relative, mode);
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

    static void remove_all(const std::string& path)
    {
        nftw(path.c_str(), remove_entry, 32, FTW_DEPTH | FTW_PHYS);
    }

private:
    void fchmod_path(const std::string& relative, mode_t mode) const { chmod(host(relative).c_str(), mode); }

    static int remove_entry(const char* path, const struct stat* status, int, struct FTW*)
    {
        if (S_ISDIR(status->st_mode)) {
            chmod(path, 0700);
            rmdir(path);
        } else {
            unlink(path);
        }
        return 0;
    }

    std::string root_;
};

// Sets an environment variable for the life of the object (the code page is read again).
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name)
    {
        const char* old = getenv(name);
        had_ = old != nullptr;
        if (had_)
            old_ = old;
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
        refresh();
    }
    ~ScopedEnvironment()
    {
        if (had_)
            setenv(name_.c_str(), old_.c_str(), 1);
        else
            unsetenv(name_.c_str());
        refresh();
    }

private:
    static void refresh();
    std::string name_;
    std::string old_;
    bool had_ = false;
};

#include "platform/posix/code_page.h"

inline void ScopedEnvironment::refresh()
{
    reload_code_page();
    forget_all_directories();
}

// The names a search returns, in order.
#include <vector>
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
