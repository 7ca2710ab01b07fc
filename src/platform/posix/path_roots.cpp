// The roots of the walk's paths, and which names of a path came from searches.
//
// Facts kept: the roots the program registered, each a path text and how the names
// after it are matched. The rule that decides for a path: of the roots whose text the
// path's text begins with, the longest decides, and of two as long, the one registered
// NAMES_AS_TYPED; a path's components after a root registered NAMES_FROM_SEARCHES are
// matched exactly, all others as typed. The empty root, the current directory, begins
// only relative paths, not those that start at a drive or at a root ("Z:\x", "\x").
//
// Why the tie goes to typed names: in a run that acts on the upper-case 8.3 forms, the
// source root is registered twice, as typed for its short form; where both texts are
// the same ("", "..\", "Z:\TMP\"), the short forms below it must still be found.
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/names.h"
#include "platform/posix/path_roots.h"

struct PathRoot {
    std::string text;
    bool names_exact;
};

// A run registers three roots at most.
static std::vector<PathRoot> roots;

void register_path_root(const char* root, size_t length, RootNames names_after_root)
{
    roots.push_back(PathRoot{std::string(root, length), names_after_root == NAMES_FROM_SEARCHES});
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

size_t exact_names_offset(const char* text, size_t length)
{
    const PathRoot* deciding = nullptr;
    for (const PathRoot& root : roots) {
        if (!begins_with(root, text, length))
            continue;
        if (deciding == nullptr || root.text.size() > deciding->text.size() ||
            (root.text.size() == deciding->text.size() && !root.names_exact))
            deciding = &root;
    }
    return deciding != nullptr && deciding->names_exact ? deciding->text.size() : NO_EXACT_NAMES;
}
