// Random trees copied, updated, verified, moved and deleted after verification by their
// owner, each run checked against what the test knows of the tree it made.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/random_tree.h"
#include "e2e/run_program.h"

// Trees seeded BASE_SEED, BASE_SEED + 1, ...; ORVA_RANDOM_SEED tries other ones.
static const unsigned BASE_SEED = 20190619;
static const int TREE_COUNT = 16;

static unsigned base_seed()
{
    const char* seed = getenv("ORVA_RANDOM_SEED");
    return seed != nullptr ? static_cast<unsigned>(strtoul(seed, nullptr, 10)) : BASE_SEED;
}

// Names are handled as UTF-8, so that every name of the pool can be shown.
static RunResult run_as_owner(const std::vector<std::string>& arguments, const std::string& root)
{
    return run_orva_as_user(arguments, root, {{"LANG", "C.UTF-8"}});
}

// What one run did wrong to one tree; the tree itself is printed with its first finding.
class Findings {
public:
    Findings(const RandomTree& tree, int index) : tree(tree), index(index) {}
    void add(const std::string& problem) { problems.push_back(problem); }
    // The note says more of the run, when there is something to report.
    void report(const std::string& run, const std::string& note = "")
    {
        if (problems.empty())
            return;
        std::string text;
        for (size_t i = 0; i < problems.size() && i < 12; i++)
            text += "  " + problems[i] + "\n";
        if (problems.size() > 12)
            text += "  ... and " + std::to_string(problems.size() - 12) + " more\n";
        ADD_FAILURE() << "tree " << index << ", " << run << ":\n" << text << note << (described ? "" : describe(tree));
        described = true;
        problems.clear();
    }

private:
    const RandomTree& tree;
    int index;
    bool described = false;
    std::vector<std::string> problems;
};

// The first lines the program printed, for a failure message.
static std::string output_of(const RunResult& result)
{
    std::istringstream in(result.out);
    std::string text = "  its output:\n";
    int count = 0;
    for (std::string line; std::getline(in, line); count++) {
        if (count < 16)
            text += "    " + line + "\n";
    }
    return count > 16 ? text + "    ... " + std::to_string(count - 16) + " lines more\n" : text;
}

// The path as the program shows it: '\' between components, and ':' as U+F03A.
static std::string shown(const std::string& path)
{
    std::string text;
    for (char c : path)
        text += c == '/' ? "\\" : c == ':' ? "\xEF\x80\xBA" : std::string(1, c);
    return text;
}

static std::string below(const std::string& top, const TreeEntry& entry)
{
    return entry.path.empty() ? top : top + "/" + entry.path;
}

static bool is_kind(EntryKind kind, mode_t mode)
{
    if (kind == EntryKind::file)
        return S_ISREG(mode);
    return kind == EntryKind::directory ? S_ISDIR(mode) : S_ISLNK(mode);
}

// The time the layer keeps is the host's to 100 ns; a copy may also keep every nanosecond.
static bool same_time(const TreeEntry& entry, const struct timespec& time)
{
    return time.tv_sec == entry.seconds &&
           (time.tv_nsec == entry.nanoseconds || time.tv_nsec == entry.nanoseconds - entry.nanoseconds % 100);
}

static std::string formatted(const char* format, unsigned value)
{
    char text[32];
    snprintf(text, sizeof text, format, value);
    return text;
}

// Run as the owner, the test cannot read a file without the owner's read bit either.
static bool readable(const std::string& path)
{
    return access(path.c_str(), R_OK) == 0;
}

// How the entry at path differs from the model, briefly; "" when it does not. Without
// the attributes, its mode and stored attributes are not compared.
static std::string difference(const TreeEntry& entry, const std::string& path, const std::string& root,
                              bool with_attributes = true)
{
    struct stat status;
    if (lstat(path.c_str(), &status) != 0)
        return "missing";
    if (!is_kind(entry.kind, status.st_mode))
        return "of another kind (mode " + formatted("%o", status.st_mode) + ")";
    if (entry.kind != EntryKind::file && entry.kind != EntryKind::directory) {
        std::vector<char> target(4096);
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        const std::string text(target.data(), length > 0 ? static_cast<size_t>(length) : 0);
        if (text != target_under(entry, root))
            return "a link to " + text;
    }
    if (entry.kind == EntryKind::file) {
        const std::string contents = readable(path) ? file_contents(path) : contents_of(entry);
        if (contents != contents_of(entry) || status.st_size != static_cast<off_t>(contents.size()))
            return "other contents (" + std::to_string(status.st_size) + " bytes)";
        if (entry.hole > 0 && status.st_blocks * 512 > static_cast<long long>(entry.data.size()) + 262144)
            return "holes filled (" + std::to_string(status.st_blocks / 2) + " KiB on disk)";
    }
    const bool has_mode = entry.kind == EntryKind::file || entry.kind == EntryKind::directory;
    if (with_attributes && has_mode && (status.st_mode & 07777) != entry.mode)
        return "mode " + formatted("%o", status.st_mode & 07777);
    const std::string name = entry.path.substr(entry.path.rfind('/') + 1);
    const unsigned attributes = attributes_from(stored_bits_of(path), name, entry.kind == EntryKind::directory);
    // Stored attributes are read only by those who may read the entry.
    if (with_attributes && has_mode && readable(path) && attributes != shown_attributes(entry))
        return "attributes " + formatted("0x%x", attributes);
    if (entry.kind != EntryKind::directory && !same_time(entry, status.st_mtim))
        return std::string(S_ISLNK(status.st_mode) ? "link " : "") + "time " + std::to_string(status.st_mtim.tv_sec) +
               "." + std::to_string(status.st_mtim.tv_nsec);
    return "";
}

static std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The lines that are unexpected, and the expected ones that are missing.
static void compare_lines(std::vector<std::string> got, std::vector<std::string> wanted, Findings& findings)
{
    std::sort(got.begin(), got.end());
    std::sort(wanted.begin(), wanted.end());
    std::vector<std::string> extra, missing;
    std::set_difference(got.begin(), got.end(), wanted.begin(), wanted.end(), std::back_inserter(extra));
    std::set_difference(wanted.begin(), wanted.end(), got.begin(), got.end(), std::back_inserter(missing));
    for (const std::string& line : extra)
        findings.add("printed \"" + line + "\"");
    for (const std::string& line : missing)
        findings.add("did not print \"" + line + "\"");
}

static void check_exit(const RunResult& result, int count, Findings& findings, int at_most = -1)
{
    const int low = std::min(count, 254), high = std::min(std::max(count, at_most), 254);
    if (result.exit_code < low || result.exit_code > high)
        findings.add("exit code " + std::to_string(result.exit_code) + ", not " + std::to_string(low) +
                     (high > low ? " to " + std::to_string(high) : ""));
    if (!result.err.empty())
        findings.add("standard error: " + result.err.substr(0, 300));
}

static void check_unchanged(const std::string& before, const std::string& after, const std::string& what,
                            Findings& findings)
{
    if (before == after)
        return;
    const std::vector<std::string> old_lines = lines_of(before), new_lines = lines_of(after);
    size_t i = 0;
    while (i < old_lines.size() && i < new_lines.size() && old_lines[i] == new_lines[i])
        i++;
    findings.add(what + " changed: \"" + (i < old_lines.size() ? old_lines[i] : "") + "\" became \"" +
                 (i < new_lines.size() ? new_lines[i] : "") + "\"");
}

static int count_entries(const RandomTree& tree, const std::function<bool(const TreeEntry&)>& test)
{
    return static_cast<int>(std::count_if(tree.entries.begin(), tree.entries.end(), test));
}

static std::vector<std::string> paths_below(const std::string& directory)
{
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(directory))
        paths.push_back(entry.path().string().substr(directory.size() + 1));
    return paths;
}

static bool unreadable_file(const TreeEntry& entry)
{
    return !owner_can_read(entry);
}

// A copy holds every entry its owner can read, as it is in the source, and nothing else.
static void check_copy(const RandomTree& tree, const std::string& root, const RunResult& copy, Findings& findings)
{
    check_exit(copy, count_entries(tree, walked_as_file), findings);
    std::vector<std::string> errors, expected_errors, expected_paths;
    for (const std::string& line : lines_of(copy.out)) {
        if (!line.starts_with("Create directory ") && !line.starts_with("create file      "))
            errors.push_back(line);
    }
    for (const TreeEntry& entry : tree.entries) {
        const std::string copied = below(root + "/dst/src", entry);
        if (unreadable_file(entry)) {
            expected_errors.push_back("Cannot open source file " + shown(below("src", entry)) + "!(5/0x5)");
            if (mode_of(copied) != -1)
                findings.add(below("dst/src", entry) + ": made, though its source cannot be read");
            continue;
        }
        expected_paths.push_back(below("src", entry));
        const std::string how = difference(entry, copied, root);
        if (!how.empty())
            findings.add(below("dst/src", entry) + ": " + how);
    }
    compare_lines(errors, expected_errors, findings);
    std::vector<std::string> made = paths_below(root + "/dst"), extra;
    std::sort(made.begin(), made.end());
    std::sort(expected_paths.begin(), expected_paths.end());
    std::set_difference(made.begin(), made.end(), expected_paths.begin(), expected_paths.end(), std::back_inserter(extra));
    for (const std::string& path : extra)
        findings.add("dst/" + path + ": made, though the source has no such entry");
}

// Right after the copy, an update finds nothing newer: only the unreadable files are
// tried again, and fail as before.
static void check_update(const RandomTree& tree, const RunResult& update, Findings& findings)
{
    check_exit(update, count_entries(tree, walked_as_file), findings);
    std::vector<std::string> expected;
    for (const TreeEntry& entry : tree.entries) {
        if (unreadable_file(entry)) {
            expected.push_back("create file      " + shown(below("dst/src", entry)));
            expected.push_back("Cannot open source file " + shown(below("src", entry)) + "!(5/0x5)");
        }
    }
    compare_lines(lines_of(update.out), expected, findings);
}

// Every entry that was copied is the same; only the unreadable files are missing.
static void check_verify(const RandomTree& tree, const RunResult& verify, Findings& findings)
{
    check_exit(verify, count_entries(tree, [](const TreeEntry& entry) { return walked_as_file(entry) && owner_can_read(entry); }),
               findings);
    std::vector<std::string> discords, expected;
    for (const std::string& line : lines_of(verify.out)) {
        if (!line.ends_with(" is same.") && !line.ends_with(" is exist."))
            discords.push_back(line);
    }
    for (const TreeEntry& entry : tree.entries) {
        if (unreadable_file(entry))
            expected.push_back("Verify file      " + shown(below("dst/src", entry)) + " is not found.");
    }
    compare_lines(discords, expected, findings);
}

// Each tree is made as src below a root of its own, given to the user, then checked.
static void for_each_tree(const std::function<void(const RandomTree&, const TempTree&, Findings&)>& check)
{
    for (int index = 0; index < TREE_COUNT; index++) {
        const RandomTree tree = random_tree(base_seed() + static_cast<unsigned>(index));
        Findings findings(tree, index);
        TempTree root;
        make_tree(tree, root.path(), "src");
        root.give_to_user();
        check(tree, root, findings);
    }
}

TEST(LinuxRandomTrees, copy_is_the_source_and_update_and_verify_agree_with_it)
{
    for_each_tree([](const RandomTree& tree, const TempTree& root, Findings& findings) {
        const std::string source = snapshot(root.path() + "/src"), outside = snapshot(root.path() + "/outside");
        const RunResult copy = run_as_owner({"/CIE", "src", "dst"}, root.path());
        check_copy(tree, root.path(), copy, findings);
        check_unchanged(source, snapshot(root.path() + "/src"), "the source", findings);
        check_unchanged(outside, snapshot(root.path() + "/outside"), "outside", findings);
        findings.report("/CIE src dst", output_of(copy));

        const std::string copied = snapshot(root.path());
        const RunResult update = run_as_owner({"/UIE", "src", "dst"}, root.path());
        check_update(tree, update, findings);
        check_unchanged(copied, snapshot(root.path()), "the root", findings);
        findings.report("/UIE src dst after the copy", output_of(update));

        const std::string updated = snapshot(root.path());
        const RunResult verify = run_as_owner({"/VE", "src", "dst"}, root.path());
        check_verify(tree, verify, findings);
        check_unchanged(updated, snapshot(root.path()), "the root", findings);
        findings.report("/VE src dst after the copy", output_of(verify));
    });
}

// The contents of every file below the directories, as a sorted list.
static std::vector<std::string> contents_below(const std::vector<std::string>& directories)
{
    std::vector<std::string> all;
    for (const std::string& directory : directories) {
        if (mode_of(directory) == -1)
            continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(directory)) {
            if (!entry.is_symlink() && entry.is_regular_file()) {
                const std::string path = entry.path().string();
                all.push_back(readable(path) ? file_contents(path) : "<" + std::to_string(entry.file_size()) + " bytes>");
            }
        }
    }
    std::sort(all.begin(), all.end());
    return all;
}

static bool owner_can_write_in(const RandomTree& tree, const TreeEntry& entry)
{
    return (parent_of(tree, entry).mode & 0200) != 0;
}

// Every entry that can be moved is at the destination as it was; one in a directory its
// owner may not change is in one place or the other; no file's contents are lost.
static void check_move(const RandomTree& tree, const std::string& root, const RunResult& move, Findings& findings)
{
    // A directory link whose directory the move has taken away before the walk reaches the
    // link leads nowhere by then, and is moved as a file.
    const int files = count_entries(tree, walked_as_file);
    const int links_into_tree = count_entries(tree, [](const TreeEntry& entry) {
        return entry.kind == EntryKind::directory_link && entry.target.rfind("@/outside", 0) != 0 &&
               entry.target.find("outside") == std::string::npos;
    });
    check_exit(move, files, findings, files + links_into_tree);
    std::vector<std::string> before;
    for (const TreeEntry& entry : tree.entries) {
        const std::string at_source = below(root + "/src", entry), at_destination = below(root + "/dst/src", entry);
        const std::string there = difference(entry, at_destination, root);
        if (entry.kind == EntryKind::file)
            before.push_back(running_as_root() || owner_can_read(entry) ? contents_of(entry)
                                                                        : "<" + std::to_string(contents_of(entry).size()) + " bytes>");
        if (entry.kind == EntryKind::directory) {
            if (!there.empty())
                findings.add(below("dst/src", entry) + ": " + there);
        } else if (owner_can_write_in(tree, entry)) {
            if (!there.empty())
                findings.add(below("dst/src", entry) + ": " + there);
            if (mode_of(at_source) != -1)
                findings.add(below("src", entry) + ": still there after its move");
        } else if (!there.empty() && !difference(entry, at_source, root).empty()) {
            findings.add(below("src", entry) + ": lost (" + difference(entry, at_source, root) + "; its move " + there + ")");
        }
    }
    std::sort(before.begin(), before.end());
    if (contents_below({root + "/src", root + "/dst"}) != before)
        findings.add("the files below src and dst hold other contents than the source held");
}

TEST(LinuxRandomTrees, move_loses_nothing)
{
    for_each_tree([](const RandomTree& tree, const TempTree& root, Findings& findings) {
        const std::string outside = snapshot(root.path() + "/outside");
        const RunResult move = run_as_owner({"/CMIE", "src", "dst"}, root.path());
        check_move(tree, root.path(), move, findings);
        check_unchanged(outside, snapshot(root.path() + "/outside"), "outside", findings);
        findings.report("/CMIE src dst", output_of(move));
    });
}

// Spoils some entries of a copy at random; says how, by path below the top.
static std::map<std::string, std::string> spoil_copy(const RandomTree& tree, const std::string& root)
{
    std::mt19937 rng(tree.seed ^ 0x5eedu);
    std::map<std::string, std::string> spoiled;
    for (const TreeEntry& entry : tree.entries) {
        if (entry.path.empty() || entry.kind == EntryKind::directory || !owner_can_read(entry) || rng() % 5 >= 2)
            continue;
        const std::string copy = root + "/dst/src/" + entry.path, source = root + "/src/" + entry.path;
        const unsigned how = rng() % 4;
        const std::string contents = contents_of(entry);
        // The owner too must open a directory it made read-only to change it.
        const std::string parent = copy.substr(0, copy.rfind('/'));
        const int parent_mode = mode_of(parent);
        chmod(parent.c_str(), static_cast<mode_t>(parent_mode) | 0700);
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
        chmod(parent.c_str(), static_cast<mode_t>(parent_mode));
    }
    return spoiled;
}

// The files whose copy is equal are gone, and only those; where the owner may not
// delete, an equal file may also stay, its attributes cleared by the attempt. A link to
// a directory goes only where its copy is the same link.
static void check_remove(const RandomTree& tree, const std::string& root, const std::map<std::string, std::string>& spoiled,
                         const RunResult& remove, Findings& findings)
{
    int deleted_files = 0;
    for (const TreeEntry& entry : tree.entries) {
        if (entry.kind == EntryKind::directory)
            continue;
        const std::string at_source = below(root + "/src", entry), name = below("src", entry);
        const auto how = spoiled.find(entry.path);
        const bool equal_copy = owner_can_read(entry) && how == spoiled.end();
        if (mode_of(at_source) == -1) {
            deleted_files += walked_as_file(entry);
            if (!equal_copy)
                findings.add(name + ": deleted, though its copy " + (how == spoiled.end() ? "was never made" : how->second));
            continue;
        }
        const bool must_go = equal_copy && owner_can_write_in(tree, entry);
        const std::string changed = difference(entry, at_source, root, !equal_copy);
        if (!changed.empty())
            findings.add(name + ": kept but " + changed);
        if (must_go && entry.kind != EntryKind::directory_link)
            findings.add(name + ": kept, though its copy is equal");
    }
    check_exit(remove, deleted_files, findings);
}

TEST(LinuxRandomTrees, remove_after_verify_deletes_exactly_the_files_with_an_equal_copy)
{
    for_each_tree([](const RandomTree& tree, const TempTree& root, Findings& findings) {
        make_tree(tree, root.path(), "dst/src", false);
        const std::map<std::string, std::string> spoiled = spoil_copy(tree, root.path());
        root.give_to_user();
        const std::string copy = snapshot(root.path() + "/dst"), outside = snapshot(root.path() + "/outside");
        const RunResult remove = run_as_owner({"/RVIE", "src", "dst"}, root.path());
        check_remove(tree, root.path(), spoiled, remove, findings);
        check_unchanged(copy, snapshot(root.path() + "/dst"), "the copy", findings);
        check_unchanged(outside, snapshot(root.path() + "/outside"), "outside", findings);
        std::string note = output_of(remove);
        for (const auto& [path, how] : spoiled)
            note += "  (the copy of src/" + path + " " + how + ")\n";
        findings.report("/RVIE src dst against a spoiled copy", note);
    });
}
