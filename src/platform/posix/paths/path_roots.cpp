// The roots of the walk's paths, and which names of a path came from searches.
//
// The rule: an entry that exists under exactly the name asked for is always that entry.
// A name that came from a search (the walk's entries, and a destination path the
// program builds from a source name) is matched exactly and only exactly, so that
// README and readme are two files for every call and a file literally named
// ABCDEF~1.TXT is never taken for another file's alias. A name the user typed that
// does not exist exactly is then matched ignoring case and by 8.3 alias, as on Windows.
//
// The layer sees path texts only; the program tells it where the searched names begin
// by registering the roots it builds its paths on, once. Facts kept: those roots, each a
// path text, how the names after it are matched, and whether the program reads only the
// kind, size and times of the entries below it (DESTINATION_NAMES). What decides for a
// path: of the roots its text begins with, the longest, and of two as long, the one registered
// NAMES_AS_TYPED; the path's components after a root registered NAMES_FROM_SEARCHES are
// searched names, all others (the root's own, and those of a path that begins with no
// root) typed ones. The empty root, the current directory, begins only relative paths,
// not those that start at a drive or at a root ("Z:\x", "\x").
//
// Why the tie goes to typed names: in a run that acts on the upper-case 8.3 forms, the
// source root is registered a second time, as typed, in its short form; where both texts
// are the same ("", "..\", "Z:\TMP\"), the short forms below it must still be found.
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/paths/names.h"
#include "platform/posix/paths/path_roots.h"

struct PathRoot {
    std::string text;
    bool names_exact;
    bool facts_only;  // DESTINATION_NAMES
};

// A run registers three roots at most. They stand in the order that decides: longer
// first, and of two as long the typed one first, so that the first root a path begins
// with is the one that decides for it.
static std::vector<PathRoot> roots;

static bool decides_before(const PathRoot& a, const PathRoot& b)
{
    if (a.text.size() != b.text.size())
        return a.text.size() > b.text.size();
    return !a.names_exact && b.names_exact;
}

void register_path_root(const char* root, size_t length, RootNames names_after_root)
{
    const PathRoot added{std::string(root, length), names_after_root != NAMES_AS_TYPED,
                         names_after_root == DESTINATION_NAMES};
    auto at = roots.begin();
    while (at != roots.end() && !decides_before(added, *at))
        ++at;
    roots.insert(at, added);
}

void forget_path_roots()
{
    roots.clear();
}

static bool starts_at_drive_or_root(const char* text, size_t length)
{
    return (length > 0 && is_path_separator(text[0])) || (length > 1 && text[1] == ':');
}

static bool begins_with(const PathRoot& root, const char* text, size_t length)
{
    if (root.text.empty())
        return !starts_at_drive_or_root(text, length);
    return root.text.size() <= length && memcmp(root.text.data(), text, root.text.size()) == 0;
}

static const PathRoot* deciding_root(const char* text, size_t length)
{
    for (const PathRoot& root : roots) {
        if (begins_with(root, text, length))
            return &root;
    }
    return nullptr;
}

// Every lookup asks this, so it costs a comparison of each root's text at most.
size_t exact_names_offset(const char* text, size_t length)
{
    const PathRoot* root = deciding_root(text, length);
    return root != nullptr && root->names_exact ? root->text.size() : NO_EXACT_NAMES;
}

bool only_facts_read_below(const char* text, size_t length)
{
    const PathRoot* root = deciding_root(text, length);
    return root != nullptr && root->facts_only && root->text.size() < length;
}
