// Telling the user, on standard error, about the names a search leaves out.
//
// Such a name cannot be written in the line either, so the line names its directory, in
// the full Windows form the program shows, and says that the entry was left alone: a
// copy then never leaves a file behind without a word.
#include <cstdio>
#include <set>
#include <string>

#include "platform/posix/paths/names.h"
#include "platform/posix/searches/unshown_names.h"

// The program's text, in its language; null until it is handed over.
static const char* unshown_name_line = nullptr;

void set_unshown_name_line(const char* line_format)
{
    unshown_name_line = line_format;
}

// The directory's device and inode, then the host name: the same name in the same
// directory, whatever path the program reached it by.
static std::string key_of(const DirectoryTable& table, const char* host_name)
{
    std::string key(reinterpret_cast<const char*>(&table.device), sizeof table.device);
    key.append(reinterpret_cast<const char*>(&table.inode), sizeof table.inode);
    key += host_name;
    return key;
}

// Z:\tmp\r for "r\" with the current directory Z:\tmp; the text as given when it cannot
// be made whole.
static std::string shown_directory(const char* directory, size_t length)
{
    const std::string given = length == 0 ? std::string(1, '.') : std::string(directory, length);
    const DWORD needed = GetFullPathNameA(given.c_str(), 0, nullptr, nullptr);
    std::string full(needed, '\0');
    const DWORD written = needed == 0 ? 0 : GetFullPathNameA(given.c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed)
        return given;
    full.resize(written);
    // "Z:\" stays the root.
    if (full.size() > 3 && ends_in_separator(full.data(), full.size()))
        full.pop_back();
    return full;
}

void report_unshown_names(const DirectoryTable& table, const char* directory, size_t length)
{
    static std::set<std::string> reported;
    if (unshown_name_line == nullptr)
        return;
    std::string shown;
    for (uint32_t offset : table.unshown) {
        if (!reported.insert(key_of(table, table.text.data() + offset)).second)
            continue;
        if (shown.empty())
            shown = shown_directory(directory, length);
        fprintf(stderr, unshown_name_line, shown.c_str());
    }
}
