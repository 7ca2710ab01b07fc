// A real directory tree under a temporary folder, removed with everything in it when the
// object goes, and the ordinary user the tests act as.
//
// The suite runs as an ordinary user: then "the user" is that user itself. Run as root it
// is the user nobody, so that refusals root would never meet are still met; a tree given
// to the user belongs to nobody then.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

class TempTree {
public:
    explicit TempTree(const char* parent = "/tmp");
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& path() const { return root; }
    // The host path of an entry given relative to the root ("" is the root).
    std::string host(const std::string& relative) const { return relative.empty() ? root : root + "/" + relative; }
    // Its Windows path: Z:\tmp\orva-x\a\b.
    std::string windows(const std::string& relative = "") const;

    // A file (and the directories on its way) with the given contents and permission bits.
    void file(const std::string& relative, const std::string& contents = "", unsigned mode = 0644) const;
    void directory(const std::string& relative, unsigned mode = 0755) const;
    // A symbolic link at relative holding target as it is written.
    void link(const std::string& relative, const std::string& target) const;
    // The last-write and last-access time (seconds since 1970 UTC and nanoseconds), of a
    // link itself rather than its target.
    void times(const std::string& relative, long long seconds, long nanoseconds = 0) const;
    // A file of that size without data, for sizes past 4 GB.
    void sparse(const std::string& relative, long long size) const;
    // The permission bits of an entry.
    void mode(const std::string& relative, unsigned mode) const;
    // The stored DOS attributes of an entry as the layer keeps them ("0x22": hidden and
    // archive), written directly, as another program would.
    void stored_bits(const std::string& relative, const std::string& value) const;
    // Files with their contents, then each of them and every directory on their way given
    // one last-write and access time.
    void files_at(std::initializer_list<std::pair<std::string, std::string>> entries, long long seconds,
                  long nanoseconds = 0) const;
    bool exists(const std::string& relative) const;
    // Hands the whole tree, its root included, to the user (see above), so that a run as
    // the user meets it as its owner would.
    void give_to_user() const;

private:
    std::string root;
};

// Every entry below a directory, one line each in name order: path, kind, mode, size,
// last write time in nanoseconds, the stored DOS attributes, a hash of the contents and,
// for a link, its target text. Two snapshots that are equal mean nothing was touched.
std::string snapshot(const std::string& directory);
// The stored DOS attributes of an entry, or "" when none are stored.
std::string stored_bits_of(const std::string& path);
// The permission bits of an entry (not following a link), or -1 when it is missing.
int mode_of(const std::string& path);
// A file's whole contents, or "<missing>" when it cannot be read.
std::string file_contents(const std::string& path);

bool running_as_root();
// Makes the calling process the user nobody when it is root; false when it cannot. An
// ordinary user stays as it is.
bool become_user();

// For the cases that need root (mounts, chattr, entries of another user): they fail,
// never skip, when the suite runs as an ordinary user, and stand in the suites named
// ...AsRoot, which the test command runs as root.
#define REQUIRE_ROOT()                                                                                \
    do {                                                                                              \
        if (!running_as_root())                                                                       \
            GTEST_FAIL() << "this case needs root: the test command runs the ...AsRoot suites as root"; \
    } while (false)
