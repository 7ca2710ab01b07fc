// Random source trees for the differential tests: drawn from a seed, then made on disk.
#include "e2e/random_tree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

// Names drawn a group at a time, so that a directory often holds two names that differ
// only in case, a name that is another one's 8.3 alias, or both.
static const std::vector<std::vector<std::string>> NAME_GROUPS = {
    {"README", "readme", "ReadMe"},
    {"Dir", "dir", "DIR"},
    {"Index.html", "index.html"},
    {"abcdefghij.txt", "ABCDEF~1.TXT", "abcdef~1.txt", "ABCDEF~2.TXT"},
    {"Long File.txt", "LONGFI~1.TXT"},
    {"FILE.TXT", "file.txt"},
    {"with space", "With Space"},
    {".hidden", ".Hidden"},
    {".config"},
    {"café.txt", "CAFÉ.TXT", "CAF~1.TXT"},
    {"日本語のファイル.txt", "日本語~1.TXT"},
    {"a:b.txt"},
    {"notes.md", "NOTES.MD"},
    {"x"},
    {"data.bin"},
};

static const char* const OUTSIDE_FILES[] = {"outside/f.txt", "outside/dir/g.txt", "outside/ro.txt"};

static int below(std::mt19937& rng, int count)
{
    return static_cast<int>(rng() % static_cast<unsigned>(count));
}

static bool one_in(std::mt19937& rng, int count)
{
    return below(rng, count) == 0;
}

static std::string random_bytes(std::mt19937& rng, size_t size)
{
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(1 + below(rng, 255));
    return bytes;
}

static std::vector<std::string> draw_names(std::mt19937& rng, int count)
{
    std::vector<std::string> names;
    while (static_cast<int>(names.size()) < count) {
        const std::vector<std::string>& group = NAME_GROUPS[below(rng, static_cast<int>(NAME_GROUPS.size()))];
        for (const std::string& name : group) {
            bool taken = false;
            for (const std::string& other : names)
                taken = taken || other == name;
            if (!taken && !one_in(rng, 3))
                names.push_back(name);
        }
    }
    return names;
}

static std::string random_stored(std::mt19937& rng)
{
    if (one_in(rng, 2))
        return "";
    unsigned bits = one_in(rng, 2) ? 0x02 : 0;
    bits |= one_in(rng, 3) ? 0x04 : 0;
    bits |= one_in(rng, 2) ? 0x20 : 0;
    char text[16];
    snprintf(text, sizeof text, "0x%x", bits);
    return text;
}

// From 1960 to 2200, so that times before 1970 and after 2038 both occur. Only the
// generator's own numbers are used, never a distribution, so that every standard
// library draws the same trees.
static void random_time(std::mt19937& rng, TreeEntry& entry)
{
    const long long earliest = -315619200, latest = 7258118400;
    const unsigned long long high = rng(), wide = (high << 32) | rng();
    entry.seconds = earliest + static_cast<long long>(wide % static_cast<unsigned long long>(latest - earliest + 1));
    entry.nanoseconds = below(rng, 1000000000);
}

// The owner may always walk a directory (r and x); w comes and goes.
static unsigned random_directory_mode(std::mt19937& rng)
{
    const unsigned owner = one_in(rng, 3) ? 0500u : 0700u;
    return owner | static_cast<unsigned>(below(rng, 64));
}

static void random_file(std::mt19937& rng, TreeEntry& entry)
{
    entry.kind = EntryKind::file;
    entry.mode = static_cast<unsigned>(below(rng, 512));
    entry.mode |= one_in(rng, 3) ? 0u : 0400u;
    if (one_in(rng, 8)) {
        entry.hole = (1 + below(rng, 3)) << 20;
        entry.data = random_bytes(rng, one_in(rng, 4) ? 0 : 1 + below(rng, 70000));
    } else {
        const size_t sizes[] = {0, 65535, 65536, 65537, 1 + static_cast<size_t>(below(rng, 100)),
                                1 + static_cast<size_t>(below(rng, 5000))};
        entry.data = random_bytes(rng, sizes[below(rng, 6)]);
    }
    entry.stored = random_stored(rng);
    random_time(rng, entry);
}

static void fill_directory(RandomTree& tree, std::mt19937& rng, const std::string& directory, int depth)
{
    for (const std::string& name : draw_names(rng, depth == 0 ? 4 + below(rng, 4) : 2 + below(rng, 4))) {
        TreeEntry entry;
        entry.path = directory.empty() ? name : directory + "/" + name;
        const int roll = below(rng, 100);
        if (roll < 22 && depth < 3) {
            entry.kind = EntryKind::directory;
            entry.mode = random_directory_mode(rng);
            entry.stored = random_stored(rng);
            tree.entries.push_back(entry);
            fill_directory(tree, rng, entry.path, depth + 1);
            continue;
        }
        if (roll < 70) {
            random_file(rng, entry);
        } else {
            entry.kind = roll < 82 ? EntryKind::file_link : roll < 91 ? EntryKind::directory_link : EntryKind::dangling_link;
            random_time(rng, entry);
        }
        tree.entries.push_back(entry);
    }
}

// How to climb from the entry's directory to the top: "" at the top, "../" a layer.
static std::string up_to_top(const TreeEntry& entry)
{
    std::string up;
    for (char c : entry.path)
        up += c == '/' ? "../" : "";
    return up;
}

static std::string relative_target(const TreeEntry& link, const std::string& path)
{
    const std::string text = up_to_top(link) + path;
    if (text.empty())
        return ".";
    return text.back() == '/' ? text.substr(0, text.size() - 1) : text;
}

static const TreeEntry* random_entry_of(const RandomTree& tree, std::mt19937& rng, EntryKind kind)
{
    std::vector<const TreeEntry*> found;
    for (const TreeEntry& entry : tree.entries) {
        if (entry.kind == kind)
            found.push_back(&entry);
    }
    return found.empty() ? nullptr : found[below(rng, static_cast<int>(found.size()))];
}

// Inside the tree (relative, or absolute through the top "src"), to the directory beside
// it, or to nothing at all, itself included.
static std::string random_target(const RandomTree& tree, std::mt19937& rng, const TreeEntry& link)
{
    const std::string own_name = link.path.substr(link.path.rfind('/') + 1);
    if (link.kind == EntryKind::dangling_link) {
        const std::string missing[] = {"missing", "../nowhere/x", "@/outside/missing.txt", own_name};
        return missing[below(rng, 4)];
    }
    const bool to_file = link.kind == EntryKind::file_link;
    const TreeEntry* inside = random_entry_of(tree, rng, to_file ? EntryKind::file : EntryKind::directory);
    const std::string outside = to_file ? OUTSIDE_FILES[below(rng, 3)] : one_in(rng, 2) ? "outside/dir" : "outside";
    switch (inside == nullptr ? 2 : below(rng, 4)) {
    case 0:
        return inside->path.empty() ? "@/src" : "@/src/" + inside->path;
    case 1:
    case 3:
        return relative_target(link, inside->path);
    default:
        return one_in(rng, 3) ? "@/" + outside : "../" + up_to_top(link) + outside;
    }
}

RandomTree random_tree(unsigned seed)
{
    std::mt19937 rng(seed);
    RandomTree tree;
    tree.seed = seed;
    TreeEntry top;
    top.kind = EntryKind::directory;
    top.mode = random_directory_mode(rng);
    top.stored = random_stored(rng);
    tree.entries.push_back(top);
    fill_directory(tree, rng, "", 0);
    for (TreeEntry& entry : tree.entries) {
        if (entry.kind != EntryKind::file && entry.kind != EntryKind::directory)
            entry.target = random_target(tree, rng, entry);
    }
    return tree;
}

static void write_file(const std::string& path, const TreeEntry& entry)
{
    std::ofstream(path, std::ios::binary).close();
    if (entry.hole > 0)
        std::filesystem::resize_file(path, static_cast<std::uintmax_t>(entry.hole));
    std::ofstream(path, std::ios::binary | std::ios::app) << entry.data;
    struct stat status;
    if (entry.hole > 0 && (stat(path.c_str(), &status) != 0 || status.st_blocks * 512 >= entry.hole))
        throw std::runtime_error("no holes in the file system under " + path);
}

static void make_outside(const std::string& root)
{
    if (std::filesystem::exists(root + "/outside"))
        return;
    std::filesystem::create_directories(root + "/outside/dir");
    for (const char* file : OUTSIDE_FILES)
        std::ofstream(root + "/" + file, std::ios::binary) << "outside: " << file;
    // Before the chmod: an ordinary user may not store attributes on a read-only file.
    setxattr((root + "/outside/ro.txt").c_str(), "user.DOSATTRIB", "0x22", 4, 0);
    chmod((root + "/outside/ro.txt").c_str(), 0444);
}

void make_tree(const RandomTree& tree, const std::string& root, const std::string& top, bool with_unreadable)
{
    make_outside(root);
    const std::string base = root + "/" + top;
    std::filesystem::create_directories(std::filesystem::path(base).parent_path());
    for (const TreeEntry& entry : tree.entries) {
        const std::string path = entry.path.empty() ? base : base + "/" + entry.path;
        if (entry.kind == EntryKind::directory)
            std::filesystem::create_directory(path);
        else if (entry.kind == EntryKind::file && (with_unreadable || owner_can_read(entry)))
            write_file(path, entry);
        else if (entry.kind != EntryKind::file)
            std::filesystem::create_symlink(target_under(entry, root), path);
    }
    // Modes, attributes and times once everything exists, the deepest first, since
    // making an entry changes its directory.
    for (auto entry = tree.entries.rbegin(); entry != tree.entries.rend(); ++entry) {
        const std::string path = entry->path.empty() ? base : base + "/" + entry->path;
        if (entry->kind == EntryKind::file && !with_unreadable && !owner_can_read(*entry))
            continue;
        if (!entry->stored.empty() &&
            setxattr(path.c_str(), "user.DOSATTRIB", entry->stored.data(), entry->stored.size(), 0) != 0)
            throw std::runtime_error("setxattr failed for " + path);
        if (entry->kind == EntryKind::file || entry->kind == EntryKind::directory)
            chmod(path.c_str(), entry->mode);
        if (entry->kind != EntryKind::directory) {
            const struct timespec both[2] = {{entry->seconds, entry->nanoseconds}, {entry->seconds, entry->nanoseconds}};
            if (utimensat(AT_FDCWD, path.c_str(), both, AT_SYMLINK_NOFOLLOW) != 0)
                throw std::runtime_error("utimensat failed for " + path);
        }
    }
}

static const char* kind_name(EntryKind kind)
{
    const char* names[] = {"file", "directory", "file link", "directory link", "dangling link"};
    return names[static_cast<int>(kind)];
}

std::string describe(const RandomTree& tree)
{
    std::ostringstream text;
    text << "tree of seed " << tree.seed << " (src/ is the top; @ the root beside outside/):\n";
    for (const TreeEntry& entry : tree.entries) {
        text << "  src/" << entry.path << "  " << kind_name(entry.kind);
        if (entry.kind == EntryKind::file || entry.kind == EntryKind::directory)
            text << " " << std::oct << entry.mode << std::dec;
        if (entry.kind == EntryKind::file)
            text << " " << entry.hole + static_cast<long long>(entry.data.size()) << " bytes"
                 << (entry.hole > 0 ? " after a hole of " + std::to_string(entry.hole) : "");
        if (!entry.stored.empty())
            text << " [" << entry.stored << "]";
        if (entry.kind != EntryKind::directory)
            text << " @" << entry.seconds << "." << entry.nanoseconds;
        if (!entry.target.empty())
            text << " -> " << entry.target;
        text << "\n";
    }
    return text.str();
}

std::string target_under(const TreeEntry& entry, const std::string& root)
{
    return entry.target.compare(0, 1, "@") == 0 ? root + entry.target.substr(1) : entry.target;
}

std::string contents_of(const TreeEntry& entry)
{
    return std::string(static_cast<size_t>(entry.hole), '\0') + entry.data;
}

const TreeEntry& parent_of(const RandomTree& tree, const TreeEntry& entry)
{
    const size_t slash = entry.path.rfind('/');
    const std::string parent = slash == std::string::npos ? "" : entry.path.substr(0, slash);
    for (const TreeEntry& candidate : tree.entries) {
        if (candidate.path == parent)
            return candidate;
    }
    throw std::logic_error("no parent for " + entry.path);
}

bool walked_as_file(const TreeEntry& entry)
{
    return entry.kind != EntryKind::directory && entry.kind != EntryKind::directory_link;
}

bool owner_can_read(const TreeEntry& entry)
{
    return entry.kind != EntryKind::file || (entry.mode & 0400) != 0;
}

unsigned shown_attributes(const TreeEntry& entry)
{
    const bool directory = entry.kind == EntryKind::directory;
    const std::string name = entry.path.substr(entry.path.rfind('/') + 1);
    return attributes_from(entry.stored, name, directory);
}

unsigned attributes_from(const std::string& stored, const std::string& name, bool directory)
{
    char* end = nullptr;
    const unsigned long bits = stored.compare(0, 2, "0x") == 0 ? strtoul(stored.c_str() + 2, &end, 16) : 0;
    if (end != nullptr && end != stored.c_str() + 2)
        return static_cast<unsigned>(bits) & (directory ? 0x27u : 0x26u);
    return (name.compare(0, 1, ".") == 0 ? 0x02u : 0u) | (directory ? 0u : 0x20u);
}
