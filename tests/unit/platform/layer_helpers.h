// What the layer's tests share beside the temporary tree: the environment set for one
// check, a check run as the user, and the names a search returns.
#pragma once

#include <cstdlib>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/paths/code_page.h"
#include "platform/posix/searches/table_cache.h"
#include "support/mounts.h"
#include "support/temporary_tree.h"

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

// Runs check in a child process that is the user and returns what check returned (0 for
// a check that held), or -1 when the child could not become the user or did not end by
// itself. Root passes every permission check an ordinary user meets.
inline int as_user(const std::function<int()>& check)
{
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (!become_user())
            _exit(255);
        forget_all_directories();
        _exit(check());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 255)
        return -1;
    return WEXITSTATUS(status);
}

// The record a search of path returns, zeroed when it finds nothing.
inline WIN32_FIND_DATAA record_of(const std::string& path)
{
    WIN32_FIND_DATAA record = {};
    HANDLE search = FindFirstFileA(path.c_str(), &record);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return record;
}

// The short form of a path, or "<error N>".
inline std::string short_path(const std::string& path)
{
    char buffer[1024];
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer)
        return "<error " + std::to_string(GetLastError()) + ">";
    return std::string(buffer, length);
}

// The error a call left, ERROR_SUCCESS when it succeeded.
inline DWORD error_after(bool succeeded)
{
    return succeeded ? ERROR_SUCCESS : GetLastError();
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
