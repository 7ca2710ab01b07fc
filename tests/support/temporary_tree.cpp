// Temporary trees and the user the tests act as.
#include "support/temporary_tree.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

// Removes a tree that may hold directories its owner closed to himself.
static void remove_tree(const std::string& path)
{
    // Directories are opened up on the way down, before the iterator enters them.
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto entry = fs::recursive_directory_iterator(path, ignored); entry != fs::recursive_directory_iterator();
         entry.increment(ignored)) {
        if (entry->is_directory(ignored) && !entry->is_symlink(ignored))
            fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(path, ignored);
}

TempTree::TempTree(const char* parent) : root(std::string(parent) + "/orva-test-XXXXXX")
{
    if (mkdtemp(root.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
}

TempTree::~TempTree() { remove_tree(root); }

std::string TempTree::windows(const std::string& relative) const
{
    std::string text = "Z:" + host(relative);
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

void TempTree::file(const std::string& relative, const std::string& contents, unsigned mode) const
{
    const fs::path full = host(relative);
    fs::create_directories(full.parent_path());
    const int fd = open(full.c_str(), O_WRONLY | O_CREAT | O_TRUNC, mode);
    const bool written = fd >= 0 && write(fd, contents.data(), contents.size()) == static_cast<ssize_t>(contents.size());
    if (fd >= 0)
        close(fd);
    if (!written || chmod(full.c_str(), mode) != 0)
        throw std::runtime_error("cannot create " + relative);
}

void TempTree::directory(const std::string& relative, unsigned mode) const
{
    fs::create_directories(host(relative));
    this->mode(relative, mode);
}

void TempTree::link(const std::string& relative, const std::string& target) const
{
    const fs::path full = host(relative);
    fs::create_directories(full.parent_path());
    if (symlink(target.c_str(), full.c_str()) != 0)
        throw std::runtime_error("cannot link " + relative);
}

void TempTree::times(const std::string& relative, long long seconds, long nanoseconds) const
{
    const struct timespec both[2] = {{static_cast<time_t>(seconds), nanoseconds},
                                     {static_cast<time_t>(seconds), nanoseconds}};
    if (utimensat(AT_FDCWD, host(relative).c_str(), both, AT_SYMLINK_NOFOLLOW) != 0)
        throw std::runtime_error("utimensat failed for " + relative);
}

void TempTree::sparse(const std::string& relative, long long size) const
{
    file(relative);
    if (truncate(host(relative).c_str(), size) != 0)
        throw std::runtime_error("truncate failed for " + relative);
}

void TempTree::mode(const std::string& relative, unsigned mode) const
{
    if (chmod(host(relative).c_str(), mode) != 0)
        throw std::runtime_error("chmod failed for " + relative);
}

void TempTree::stored_bits(const std::string& relative, const std::string& value) const
{
    if (setxattr(host(relative).c_str(), "user.DOSATTRIB", value.data(), value.size(), 0) != 0)
        throw std::runtime_error("setxattr failed for " + relative);
}

void TempTree::files_at(std::initializer_list<std::pair<std::string, std::string>> entries, long long seconds,
                        long nanoseconds) const
{
    for (const auto& [path, contents] : entries)
        file(path, contents);
    // After all files are made, since making one changes its directories' times.
    for (const auto& [path, contents] : entries) {
        for (size_t end = path.size(); end != std::string::npos; end = path.rfind('/', end - 1))
            times(path.substr(0, end), seconds, nanoseconds);
    }
}

bool TempTree::exists(const std::string& relative) const
{
    struct stat status;
    return lstat(host(relative).c_str(), &status) == 0;
}

static const struct passwd& nobody()
{
    const struct passwd* entry = getpwnam("nobody");
    if (entry == nullptr)
        throw std::runtime_error("no user nobody");
    return *entry;
}

void TempTree::give_to_user() const
{
    if (!running_as_root())
        return;
    const struct passwd& user = nobody();
    if (lchown(root.c_str(), user.pw_uid, user.pw_gid) != 0)
        throw std::runtime_error("lchown failed for " + root);
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (lchown(entry.path().c_str(), user.pw_uid, user.pw_gid) != 0)
            throw std::runtime_error("lchown failed for " + entry.path().string());
    }
}

std::string snapshot(const std::string& directory)
{
    std::vector<std::string> lines;
    for (const auto& entry : fs::recursive_directory_iterator(directory)) {
        const std::string path = entry.path().string();
        struct stat status;
        if (lstat(path.c_str(), &status) != 0)
            continue;
        size_t contents_hash = 0;
        if (S_ISREG(status.st_mode))
            contents_hash = std::hash<std::string>{}(file_contents(path));
        char target[4096] = {};
        if (S_ISLNK(status.st_mode) && readlink(path.c_str(), target, sizeof target - 1) < 0)
            target[0] = '\0';
        std::ostringstream line;
        // The link's own attributes, not its target's, which may lie outside the directory.
        line << path.substr(directory.size()) << ' ' << std::oct << status.st_mode << std::dec << ' '
             << status.st_size << ' ' << status.st_mtim.tv_sec << '.' << status.st_mtim.tv_nsec << " ["
             << stored_bits_of(path) << "] " << contents_hash;
        if (S_ISLNK(status.st_mode))
            line << " -> " << target;
        line << '\n';
        lines.push_back(line.str());
    }
    std::sort(lines.begin(), lines.end());
    std::string all;
    for (const std::string& line : lines)
        all += line;
    return all;
}

std::string stored_bits_of(const std::string& path)
{
    char value[64] = {};
    const ssize_t length = lgetxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value - 1);
    return length > 0 ? std::string(value, static_cast<size_t>(length)) : "";
}

int mode_of(const std::string& path)
{
    struct stat status;
    return lstat(path.c_str(), &status) == 0 ? static_cast<int>(status.st_mode & 07777) : -1;
}

std::string file_contents(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return "<missing>";
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool running_as_root() { return geteuid() == 0; }

bool become_user()
{
    if (!running_as_root())
        return true;
    const struct passwd& user = nobody();
    return setgroups(0, nullptr) == 0 && setresgid(user.pw_gid, user.pw_gid, user.pw_gid) == 0 &&
           setresuid(user.pw_uid, user.pw_uid, user.pw_uid) == 0;
}
