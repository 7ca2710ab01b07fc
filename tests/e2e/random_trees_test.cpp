// Random trees copied, updated, verified, moved and deleted after verification by their
// owner: each tree is drawn from a seed, made on disk, and every run is checked against
// what the test knows of the tree it made.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "e2e/run_program.h"

// Trees seeded BASE_SEED, BASE_SEED + 1, ...; ORVA_RANDOM_SEED tries other ones.
static const unsigned BASE_SEED = getenv("ORVA_RANDOM_SEED") ? unsigned(strtoul(getenv("ORVA_RANDOM_SEED"), nullptr, 10))
                                                             : 20190619;
static const int TREE_COUNT = 16;

enum class EntryKind { file, directory, file_link, directory_link, dangling_link };

// One entry of a tree as the test means it to be.
struct TreeEntry {
    std::string path;  // below the tree's top directory, '/'-separated; "" is the top itself
    EntryKind kind = EntryKind::file;
    unsigned mode = 0;            // permission bits of a file or directory
    unsigned parent_mode = 0700;  // those of the directory that holds it
    long long hole = 0;           // zero bytes a sparse file begins with, never written
    std::string data;             // the bytes after the hole
    std::string stored;           // user.DOSATTRIB as setfattr would write it, "" for none
    std::string target;           // a link's target text; "@" stands for the root the tree was made in
    long long seconds = 0;        // last write time of a file or link
    long nanoseconds = 0;
};
using RandomTree = std::vector<TreeEntry>;  // every directory before what it holds

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
        for (const std::string& name : NAME_GROUPS[below(rng, static_cast<int>(NAME_GROUPS.size()))]) {
            if (std::find(names.begin(), names.end(), name) == names.end() && !one_in(rng, 3))
                names.push_back(name);
        }
    }
    return names;
}

// Bits in octal, or in hexadecimal after "0x".
static std::string digits(unsigned value, const char* prefix = "")
{
    std::ostringstream text;
    text << prefix << (*prefix == '\0' ? std::oct : std::hex) << value;
    return text.str();
}

static std::string random_stored(std::mt19937& rng)
{
    if (one_in(rng, 2))
        return "";
    unsigned bits = one_in(rng, 2) ? 0x02 : 0;
    bits |= one_in(rng, 3) ? 0x04 : 0;
    bits |= one_in(rng, 2) ? 0x20 : 0;
    return digits(bits, "0x");
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

static void fill_directory(RandomTree& tree, std::mt19937& rng, const TreeEntry& directory, int depth)
{
    for (const std::string& name : draw_names(rng, depth == 0 ? 4 + below(rng, 4) : 2 + below(rng, 4))) {
        TreeEntry entry;
        entry.path = directory.path.empty() ? name : directory.path + "/" + name;
        entry.parent_mode = directory.mode;
        const int roll = below(rng, 100);
        if (roll < 22 && depth < 3) {
            entry.kind = EntryKind::directory;
            entry.mode = random_directory_mode(rng);
            entry.stored = random_stored(rng);
            tree.push_back(entry);
            fill_directory(tree, rng, entry, depth + 1);
            continue;
        }
        if (roll < 70) {
            random_file(rng, entry);
        } else {
            entry.kind = roll < 82 ? EntryKind::file_link : roll < 91 ? EntryKind::directory_link : EntryKind::dangling_link;
            random_time(rng, entry);
        }
        tree.push_back(entry);
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

// Inside the tree (relative, or absolute through the top "src"), to the directory beside
// it, or to nothing at all, itself included.
static std::string random_target(const RandomTree& tree, std::mt19937& rng, const TreeEntry& link)
{
    if (link.kind == EntryKind::dangling_link) {
        const std::string missing[] = {"missing", "../nowhere/x", "@/outside/missing.txt",
                                       link.path.substr(link.path.rfind('/') + 1)};
        return missing[below(rng, 4)];
    }
    const bool to_file = link.kind == EntryKind::file_link;
    std::vector<const TreeEntry*> candidates;
    for (const TreeEntry& entry : tree) {
        if (entry.kind == (to_file ? EntryKind::file : EntryKind::directory))
            candidates.push_back(&entry);
    }
    const TreeEntry* inside = candidates.empty() ? nullptr : candidates[below(rng, static_cast<int>(candidates.size()))];
    const std::string outside = to_file ? OUTSIDE_FILES[below(rng, 3)] : one_in(rng, 2) ? "outside/dir" : "outside";
    switch (inside == nullptr ? 2 : below(rng, 4)) {
    case 0:
        return inside->path.empty() ? "@/src" : "@/src/" + inside->path;
    case 1:
    case 3: {
        const std::string text = up_to_top(link) + inside->path;
        return text.empty() ? "." : text.back() == '/' ? text.substr(0, text.size() - 1) : text;
    }
    default:
        return one_in(rng, 3) ? "@/" + outside : "../" + up_to_top(link) + outside;
    }
}

// A tree of at most three layers below its top, drawn from the seed alone.
static RandomTree random_tree(unsigned seed)
{
    std::mt19937 rng(seed);
    TreeEntry top;
    top.kind = EntryKind::directory;
    top.mode = random_directory_mode(rng);
    top.stored = random_stored(rng);
    RandomTree tree = {top};
    fill_directory(tree, rng, top, 0);
    for (TreeEntry& entry : tree) {
        if (entry.kind != EntryKind::file && entry.kind != EntryKind::directory)
            entry.target = random_target(tree, rng, entry);
    }
    return tree;
}

// A link's target text as made under root.
static std::string target_under(const TreeEntry& entry, const std::string& root)
{
    return entry.target.starts_with("@") ? root + entry.target.substr(1) : entry.target;
}

static std::string contents_of(const TreeEntry& entry)
{
    return std::string(static_cast<size_t>(entry.hole), '\0') + entry.data;
}

// Files, links to files and dangling links: what the walk hands over as files.
static bool walked_as_file(const TreeEntry& entry)
{
    return entry.kind != EntryKind::directory && entry.kind != EntryKind::directory_link;
}

// A file without the owner's read bit cannot be opened by the owner.
static bool owner_can_read(const TreeEntry& entry)
{
    return entry.kind != EntryKind::file || (entry.mode & 0400) != 0;
}

static bool owner_can_write_in(const TreeEntry& entry)
{
    return (entry.parent_mode & 0200) != 0;
}

// The hidden, system and archive bits an entry shows, from a user.DOSATTRIB text ("" when
// none is stored) or by default.
static unsigned shown_attributes(const std::string& stored, const std::string& name, bool directory)
{
    char* end = nullptr;
    const unsigned long bits = stored.starts_with("0x") ? strtoul(stored.c_str() + 2, &end, 16) : 0;
    if (end != nullptr && end != stored.c_str() + 2)
        return static_cast<unsigned>(bits) & (directory ? 0x27u : 0x26u);
    return (name.starts_with(".") ? 0x02u : 0u) | (directory ? 0u : 0x20u);
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

// Makes the tree as root/top (top may be several components, such as "dst/src"), with a
// directory "outside" beside it for links to point at. Files their owner cannot read are
// left out when with_unreadable is false.
static void make_tree(const RandomTree& tree, const std::string& root, const std::string& top, bool with_unreadable = true)
{
    if (!std::filesystem::exists(root + "/outside")) {
        std::filesystem::create_directories(root + "/outside/dir");
        for (const char* file : OUTSIDE_FILES)
            std::ofstream(root + "/" + file, std::ios::binary) << "outside: " << file;
        // Before the chmod: an ordinary user may not store attributes on a read-only file.
        setxattr((root + "/outside/ro.txt").c_str(), "user.DOSATTRIB", "0x22", 4, 0);
        chmod((root + "/outside/ro.txt").c_str(), 0444);
    }
    const std::string base = root + "/" + top;
    std::filesystem::create_directories(std::filesystem::path(base).parent_path());
    const auto made = [&](const TreeEntry& entry) { return with_unreadable || owner_can_read(entry); };
    for (const TreeEntry& entry : tree) {
        const std::string path = entry.path.empty() ? base : base + "/" + entry.path;
        if (entry.kind == EntryKind::directory)
            std::filesystem::create_directory(path);
        else if (entry.kind != EntryKind::file)
            std::filesystem::create_symlink(target_under(entry, root), path);
        else if (made(entry))
            write_file(path, entry);
    }
    // Modes, attributes and times once everything exists, the deepest first, since
    // making an entry changes its directory.
    for (auto entry = tree.rbegin(); entry != tree.rend(); ++entry) {
        const std::string path = entry->path.empty() ? base : base + "/" + entry->path;
        if (!made(*entry))
            continue;
        if (!entry->stored.empty() &&
            setxattr(path.c_str(), "user.DOSATTRIB", entry->stored.data(), entry->stored.size(), 0) != 0)
            throw std::runtime_error("setxattr failed for " + path);
        if (entry->kind == EntryKind::file || entry->kind == EntryKind::directory)
            chmod(path.c_str(), entry->mode);
        const struct timespec both[2] = {{entry->seconds, entry->nanoseconds}, {entry->seconds, entry->nanoseconds}};
        if (entry->kind != EntryKind::directory && utimensat(AT_FDCWD, path.c_str(), both, AT_SYMLINK_NOFOLLOW) != 0)
            throw std::runtime_error("utimensat failed for " + path);
    }
}

// What one run did wrong to one tree; the seed draws the tree again.
struct Findings {
    unsigned seed;
    std::vector<std::string> problems;

    void add(const std::string& problem) { problems.push_back(problem); }
    void report(const std::string& run, const RunResult& result, const std::string& note = "")
    {
        std::string text;
        for (size_t i = 0; i < problems.size() && i < 12; i++)
            text += "  " + problems[i] + "\n";
        EXPECT_TRUE(problems.empty()) << "the tree of seed " << seed << ", " << run << ": " << problems.size()
                                      << " findings\n" << text << note << "its output begins:\n" << result.out.substr(0, 1500);
        problems.clear();
    }
};

// Names are handled as UTF-8, so that every name of the pool can be shown.
static RunResult run_as_owner(const std::vector<std::string>& arguments, const std::string& root)
{
    return run_orva_as_user(arguments, root, {{"LANG", "C.UTF-8"}});
}

// The path as the program shows it: '\' between components, and ':' as U+F03A.
static std::string shown(const std::string& top, const TreeEntry& entry)
{
    std::string text;
    for (char c : entry.path.empty() ? top : top + "/" + entry.path)
        text += c == '/' ? "\\" : c == ':' ? "\xEF\x80\xBA" : std::string(1, c);
    return text;
}

static std::string below(const std::string& top, const TreeEntry& entry)
{
    return entry.path.empty() ? top : top + "/" + entry.path;
}

// How the entry at path differs from the model, briefly; "" when it does not. Without
// the attributes, its mode and stored attributes are not compared. The time the layer
// keeps is the host's to 100 ns; a copy may also keep every nanosecond.
static std::string difference(const TreeEntry& entry, const std::string& path, const std::string& root,
                              bool with_attributes = true)
{
    struct stat status;
    if (lstat(path.c_str(), &status) != 0)
        return "missing";
    const bool is_file = entry.kind == EntryKind::file, is_directory = entry.kind == EntryKind::directory;
    // Run as the owner, the test cannot read a file without the owner's read bit either.
    const bool readable = access(path.c_str(), R_OK) == 0;
    if (is_file ? !S_ISREG(status.st_mode) : is_directory ? !S_ISDIR(status.st_mode) : !S_ISLNK(status.st_mode))
        return "of another kind (mode " + digits(status.st_mode) + ")";
    std::vector<char> target(4096);
    const ssize_t length = is_file || is_directory ? 0 : readlink(path.c_str(), target.data(), target.size());
    if (length > 0 && std::string(target.data(), static_cast<size_t>(length)) != target_under(entry, root))
        return "a link to " + std::string(target.data(), static_cast<size_t>(length));
    if (is_file) {
        const std::string contents = readable ? file_contents(path) : contents_of(entry);
        if (contents != contents_of(entry) || status.st_size != static_cast<off_t>(contents.size()))
            return "other contents (" + std::to_string(status.st_size) + " bytes)";
        if (entry.hole > 0 && status.st_blocks * 512 > static_cast<long long>(entry.data.size()) + 262144)
            return "holes filled (" + std::to_string(status.st_blocks / 2) + " KiB on disk)";
    }
    if (with_attributes && (is_file || is_directory) && (status.st_mode & 07777) != entry.mode)
        return "mode " + digits(status.st_mode & 07777);
    const std::string name = entry.path.substr(entry.path.rfind('/') + 1);
    const unsigned attributes = shown_attributes(stored_bits_of(path), name, is_directory);
    // Stored attributes are read only by those who may read the entry.
    if (with_attributes && (is_file || is_directory) && readable &&
        attributes != shown_attributes(entry.stored, name, is_directory))
        return "attributes " + digits(attributes, "0x");
    const struct timespec time = status.st_mtim;
    if (!is_directory && (time.tv_sec != entry.seconds || (time.tv_nsec != entry.nanoseconds &&
                                                            time.tv_nsec != entry.nanoseconds - entry.nanoseconds % 100)))
        return "time " + std::to_string(time.tv_sec) + "." + std::to_string(time.tv_nsec);
    return "";
}

static std::vector<std::string> sorted_difference(std::vector<std::string> these, std::vector<std::string> those)
{
    std::sort(these.begin(), these.end());
    std::sort(those.begin(), those.end());
    std::vector<std::string> only_these;
    std::set_difference(these.begin(), these.end(), those.begin(), those.end(), std::back_inserter(only_these));
    return only_these;
}

// The run's lines other than its routine ones are exactly the expected ones, its exit
// code counts between count and at_most, and it says nothing on standard error.
static void check_run(const RunResult& run, const std::function<bool(const std::string&)>& routine,
                      const std::vector<std::string>& expected, int count, Findings& findings, int at_most = -1)
{
    std::vector<std::string> got;
    std::istringstream in(run.out);
    for (std::string line; std::getline(in, line);) {
        if (!routine(line))
            got.push_back(line);
    }
    for (const std::string& line : sorted_difference(got, expected))
        findings.add("printed \"" + line + "\"");
    for (const std::string& line : sorted_difference(expected, got))
        findings.add("did not print \"" + line + "\"");
    const int low = std::min(count, 254), high = std::min(std::max(count, at_most), 254);
    if (run.exit_code < low || run.exit_code > high)
        findings.add("exit code " + std::to_string(run.exit_code) + ", not " + std::to_string(low) + " to " + std::to_string(high));
    if (!run.err.empty())
        findings.add("standard error: " + run.err.substr(0, 300));
}

// The first line of a snapshot that changed, as it is now.
static void check_unchanged(const std::string& before, const std::string& after, const std::string& what,
                            Findings& findings)
{
    const size_t at = static_cast<size_t>(std::mismatch(before.begin(), before.end(), after.begin(), after.end()).first - before.begin());
    const size_t start = at == 0 ? 0 : after.rfind('\n', at - 1) + 1;
    if (before != after)
        findings.add(what + " changed: \"" + after.substr(start, after.find('\n', at) - start) + "\"");
}

static int count_entries(const RandomTree& tree, const std::function<bool(const TreeEntry&)>& test)
{
    return static_cast<int>(std::count_if(tree.begin(), tree.end(), test));
}

// The lines a run prints of each file its owner cannot read: in each form, "<src>" stands
// for the file's path as the program shows it, "<dst>" for its copy's.
static std::vector<std::string> per_unreadable_file(const RandomTree& tree, const std::vector<std::string>& forms)
{
    std::vector<std::string> lines;
    for (const TreeEntry& entry : tree) {
        for (std::string line : forms) {
            const size_t at = line.find('<');
            if (!owner_can_read(entry))
                lines.push_back(line.replace(at, 5, shown(line[at + 1] == 's' ? "src" : "dst/src", entry)));
        }
    }
    return lines;
}

// Nothing stands below dst but the paths expected there (as "src/...").
static void check_nothing_else(const std::string& root, const std::vector<std::string>& expected, Findings& findings)
{
    std::vector<std::string> made;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root + "/dst"))
        made.push_back(entry.path().string().substr(root.size() + 5));
    for (const std::string& path : sorted_difference(made, expected))
        findings.add("dst/" + path + ": made, though the source has no such entry or it cannot be read");
}

// Each tree is made as src below a root of its own, given to the user, then checked.
static void for_each_tree(const std::function<void(const RandomTree&, const TempTree&, Findings&)>& check)
{
    for (unsigned seed = BASE_SEED; seed < BASE_SEED + TREE_COUNT; seed++) {
        const RandomTree tree = random_tree(seed);
        Findings findings{seed, {}};
        TempTree root;
        make_tree(tree, root.path(), "src");
        root.give_to_user();
        check(tree, root, findings);
    }
}

// A copy holds every entry its owner can read, as it is in the source, and nothing else.
// Right after it, an update finds nothing newer: only the unreadable files are tried
// again, and fail as before; verify finds every copied entry the same.
TEST(LinuxRandomTrees, copy_is_the_source_and_update_and_verify_agree_with_it)
{
    for_each_tree([](const RandomTree& tree, const TempTree& temp, Findings& findings) {
        const std::string& root = temp.path();
        const std::string source = snapshot(root + "/src"), outside = snapshot(root + "/outside");
        // Half the trees are updated into the empty destination: update reads the stored
        // attributes of the files it copies only then.
        const std::string letters = findings.seed % 2 ? "/UIE" : "/CIE";
        const RunResult copy = run_as_owner({letters, "src", "dst"}, root);
        const auto made = [](const std::string& line) {
            return line.starts_with("Create directory ") || line.starts_with("create file      ");
        };
        check_run(copy, made, per_unreadable_file(tree, {"Cannot open source file <src>!(5/0x5)"}),
                  count_entries(tree, walked_as_file), findings);
        std::vector<std::string> expected_paths;
        for (const TreeEntry& entry : tree) {
            const std::string how = owner_can_read(entry) ? difference(entry, below(root + "/dst/src", entry), root) : "";
            if (!how.empty())
                findings.add(below("dst/src", entry) + ": " + how);
            if (owner_can_read(entry))
                expected_paths.push_back(below("src", entry));
        }
        check_nothing_else(root, expected_paths, findings);
        check_unchanged(source, snapshot(root + "/src"), "the source", findings);
        check_unchanged(outside, snapshot(root + "/outside"), "outside", findings);
        findings.report(letters + " src dst", copy);

        const std::string copied = snapshot(root);
        const RunResult update = run_as_owner({"/UIE", "src", "dst"}, root);
        check_run(update, [](const std::string&) { return false; },
                  per_unreadable_file(tree, {"create file      <dst>", "Cannot open source file <src>!(5/0x5)"}),
                  count_entries(tree, walked_as_file), findings);
        check_unchanged(copied, snapshot(root), "the root", findings);
        findings.report("/UIE src dst after the copy", update);

        const std::string updated = snapshot(root);
        const RunResult verify = run_as_owner({"/VE", "src", "dst"}, root);
        const auto agrees = [](const std::string& line) { return line.ends_with(" is same.") || line.ends_with(" is exist."); };
        check_run(verify, agrees, per_unreadable_file(tree, {"Verify file      <dst> is not found."}),
                  count_entries(tree, [](const TreeEntry& entry) { return walked_as_file(entry) && owner_can_read(entry); }),
                  findings);
        check_unchanged(updated, snapshot(root), "the root", findings);
        findings.report("/VE src dst after the copy", verify);
    });
}

// Every entry that can be moved is at the destination as it was, and gone from the
// source; one in a directory its owner may not change is in one place or the other.
TEST(LinuxRandomTrees, move_loses_nothing)
{
    for_each_tree([](const RandomTree& tree, const TempTree& temp, Findings& findings) {
        const std::string& root = temp.path();
        const std::string outside = snapshot(root + "/outside");
        const RunResult move = run_as_owner({"/CMIE", "src", "dst"}, root);
        // A directory link whose directory the move has taken away before the walk reaches
        // the link leads nowhere by then, and is moved as a file.
        const int files = count_entries(tree, walked_as_file);
        const int links_into_tree = count_entries(tree, [](const TreeEntry& entry) {
            return entry.kind == EntryKind::directory_link && entry.target.find("outside") == std::string::npos;
        });
        check_run(move, [](const std::string&) { return true; }, {}, files, findings, files + links_into_tree);
        std::vector<std::string> moved_paths;
        for (const TreeEntry& entry : tree) {
            const std::string at_source = below(root + "/src", entry);
            const std::string there = difference(entry, below(root + "/dst/src", entry), root);
            if (there.empty())
                moved_paths.push_back(below("src", entry));
            const bool moves = entry.kind == EntryKind::directory || owner_can_write_in(entry);
            if (moves && !there.empty())
                findings.add(below("dst/src", entry) + ": " + there);
            if (!moves && there.empty() == difference(entry, at_source, root).empty())
                findings.add(below("src", entry) + ": " + (there.empty() ? "in both places" : "lost (its move " + there + ")"));
            if (moves && entry.kind != EntryKind::directory && mode_of(at_source) != -1)
                findings.add(below("src", entry) + ": still there after its move");
        }
        check_nothing_else(root, moved_paths, findings);
        check_unchanged(outside, snapshot(root + "/outside"), "outside", findings);
        findings.report("/CMIE src dst", move);
    });
}

// Spoils some entries of a copy at random; says how, by path below the top.
static std::map<std::string, std::string> spoil_copy(const RandomTree& tree, unsigned seed, const std::string& root)
{
    std::mt19937 rng(seed ^ 0x5eedu);
    std::map<std::string, std::string> spoiled;
    for (const TreeEntry& entry : tree) {
        if (entry.path.empty() || entry.kind == EntryKind::directory || !owner_can_read(entry) || rng() % 5 >= 2)
            continue;
        const std::string copy = root + "/dst/src/" + entry.path, source = root + "/src/" + entry.path;
        const unsigned how = rng() % 4;
        const std::string contents = contents_of(entry);
        // The owner too must open a directory it made read-only to change it.
        const std::string parent = copy.substr(0, copy.rfind('/'));
        chmod(parent.c_str(), entry.parent_mode | 0700);
        std::filesystem::remove(copy);
        if (entry.kind == EntryKind::file && how == 0 && !contents.empty()) {
            std::string changed = contents;
            changed[rng() % changed.size()] ^= 0x01;
            std::ofstream(copy, std::ios::binary) << changed;
            spoiled[entry.path] = "has other contents of the same size";
        } else if (entry.kind == EntryKind::file && how <= 1) {
            std::ofstream(copy, std::ios::binary) << contents << "+";
            spoiled[entry.path] = "is longer";
        } else if (how == 2) {
            spoiled[entry.path] = "is missing";
        } else if (entry.kind == EntryKind::file) {
            std::filesystem::create_symlink(source, copy);
            spoiled[entry.path] = "is a link to the source";
        } else if (entry.kind == EntryKind::directory_link) {
            std::filesystem::create_directory(copy);
            spoiled[entry.path] = "is a directory";
        } else if (how == 3 && file_contents(source) != "<missing>") {
            std::ofstream(copy, std::ios::binary) << file_contents(source);
            spoiled[entry.path] = "is a file holding what the link points to";
        } else {
            std::filesystem::create_symlink(target_under(entry, root) + "-other", copy);
            spoiled[entry.path] = "points elsewhere";
        }
        chmod(parent.c_str(), entry.parent_mode);
    }
    return spoiled;
}

// The files whose copy is equal are gone, and only those; where the owner may not
// delete, an equal file may also stay, its attributes cleared by the attempt. A link to
// a directory goes only where its copy is the same link. The copy is left as it was.
TEST(LinuxRandomTrees, remove_after_verify_deletes_exactly_the_files_with_an_equal_copy)
{
    for_each_tree([](const RandomTree& tree, const TempTree& temp, Findings& findings) {
        const std::string& root = temp.path();
        make_tree(tree, root, "dst/src", false);
        const std::map<std::string, std::string> spoiled = spoil_copy(tree, findings.seed, root);
        temp.give_to_user();
        const std::string copy = snapshot(root + "/dst"), outside = snapshot(root + "/outside");
        const RunResult remove = run_as_owner({"/RVIE", "src", "dst"}, root);
        int deleted_files = 0;
        std::string note;
        for (const TreeEntry& entry : tree) {
            if (entry.kind == EntryKind::directory)
                continue;
            const auto how = spoiled.find(entry.path);
            const bool equal_copy = owner_can_read(entry) && how == spoiled.end();
            const std::string at_source = below(root + "/src", entry), name = below("src", entry);
            if (how != spoiled.end())
                note += "  (the copy of " + name + " " + how->second + ")\n";
            if (mode_of(at_source) == -1) {
                deleted_files += walked_as_file(entry);
                if (!equal_copy)
                    findings.add(name + ": deleted, though its copy " + (how == spoiled.end() ? "was never made" : how->second));
                continue;
            }
            const std::string changed = difference(entry, at_source, root, !equal_copy);
            if (!changed.empty())
                findings.add(name + ": kept but " + changed);
            if (equal_copy && owner_can_write_in(entry) && entry.kind != EntryKind::directory_link)
                findings.add(name + ": kept, though its copy is equal");
        }
        check_run(remove, [](const std::string&) { return true; }, {}, deleted_files, findings);
        check_unchanged(copy, snapshot(root + "/dst"), "the copy", findings);
        check_unchanged(outside, snapshot(root + "/outside"), "outside", findings);
        findings.report("/RVIE src dst against a spoiled copy", remove, note);
    });
}
