// Small file systems mounted for one test (no extended attributes, full, read-only).
// Mounting needs root: the cases that mount stand in the ...AsRoot suites.
#pragma once

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/mount.h>

class ScopedMount {
public:
    ScopedMount(const std::string& where, const char* type, unsigned long flags, const char* options)
        : where_(where)
    {
        mounted_ = mount("none", where.c_str(), type, flags, options) == 0;
        if (!mounted_)
            why_ = std::string("cannot mount ") + type + ": " + strerror(errno);
    }
    ~ScopedMount()
    {
        if (mounted_)
            umount2(where_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    const std::string& why() const { return why_; }

private:
    std::string where_;
    bool mounted_ = false;
    std::string why_;
};
