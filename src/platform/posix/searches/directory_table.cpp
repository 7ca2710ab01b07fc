// Scanning a directory into its table: names in NTFS order and their 8.3 aliases.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/paths/names.h"
#include "platform/posix/searches/directory_table.h"
#include "platform/posix/searches/short_names.h"
#include "platform/posix/system/error_table.h"

static bool is_dot_name(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

static uint32_t append_text(std::string& text, const char* name, size_t length)
{
    const uint32_t offset = static_cast<uint32_t>(text.size());
    text.append(name, length);
    text.push_back('\0');
    return offset;
}

// Names the program could not address (see windows_name_of) are left out of the
// entries, and kept aside so that a search can say so.
static void add_scanned_name(DirectoryTable* table, const char* host_name, unsigned char type)
{
    char shown[MAX_PATH];
    size_t shown_length;
    if (!windows_name_of(host_name, shown, sizeof shown, &shown_length)) {
        table->unshown.push_back(append_text(table->text, host_name, strlen(host_name)));
        return;
    }
    TableEntry added{};
    added.name = append_text(table->text, shown, shown_length);
    added.name_length = static_cast<uint16_t>(shown_length);
    added.host = strcmp(shown, host_name) == 0 ? added.name : append_text(table->text, host_name, strlen(host_name));
    added.alias = NO_ALIAS;
    added.type = type;
    table->entries.push_back(added);
}

// The descriptor is read as it is, not through a DIR stream: fdopendir would want a
// duplicate of it, checks of its mode and a rewind, four host calls more for every
// directory a walk lists.
static DWORD scan_names(int fd, DirectoryTable* table)
{
    alignas(struct dirent64) char buffer[32768];
    for (;;) {
        const ssize_t filled = getdents64(fd, buffer, sizeof buffer);
        if (filled < 0)
            return windows_error_of(errno);
        if (filled == 0)
            return ERROR_SUCCESS;
        for (ssize_t at = 0; at < filled;) {
            const struct dirent64* entry = reinterpret_cast<const struct dirent64*>(buffer + at);
            at += entry->d_reclen;
            if (!is_dot_name(entry->d_name))
                add_scanned_name(table, entry->d_name, entry->d_type);
        }
    }
}

// The names upper-cased once, at the offsets they have in the table's text: the sort and
// the alias numbering compare names many times each, and compare plain bytes this way.
// Lives only while the table is built; a table keeps the names alone.
struct UpperNames {
    std::string text;

    explicit UpperNames(const DirectoryTable& table) : text(table.text)
    {
        for (const TableEntry& entry : table.entries)
            upper_in_place(&text[entry.name], entry.name_length);
    }
    const char* of(const TableEntry& entry) const { return text.data() + entry.name; }
    // Orders as compare_upper orders the original names; name is upper-cased already.
    int compare(const TableEntry& entry, const char* name, size_t length) const
    {
        const size_t shorter = entry.name_length < length ? entry.name_length : length;
        const int order = memcmp(of(entry), name, shorter);
        if (order != 0)
            return order;
        return entry.name_length == length ? 0 : (entry.name_length < length ? -1 : 1);
    }
    int compare(const TableEntry& a, const TableEntry& b) const { return compare(a, of(b), b.name_length); }
};

// NTFS order: bytes after ASCII upper-casing; names equal that way by their bytes, so
// that the order never depends on the scan.
static void sort_entries(DirectoryTable* table, const UpperNames& upper)
{
    const DirectoryTable& t = *table;
    std::sort(table->entries.begin(), table->entries.end(), [&t, &upper](const TableEntry& a, const TableEntry& b) {
        const int order = upper.compare(a, b);
        if (order != 0)
            return order < 0;
        return strcmp(t.name(a), t.name(b)) < 0;
    });
}

// First entry whose upper-cased name is not below the given one.
static size_t lower_bound_upper(const DirectoryTable& table, const char* name, size_t length)
{
    size_t low = 0, high = table.entries.size();
    while (low < high) {
        const size_t middle = (low + high) / 2;
        const TableEntry& entry = table.entries[middle];
        if (compare_upper(table.name(entry), entry.name_length, name, length) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// Whether an upper-cased name is the name of an entry, ignoring case.
static bool is_real_name(const DirectoryTable& table, const UpperNames& upper, const char* name, size_t length)
{
    size_t low = 0, high = table.entries.size();
    while (low < high) {
        const size_t middle = (low + high) / 2;
        if (upper.compare(table.entries[middle], name, length) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low < table.entries.size() && upper.compare(table.entries[low], name, length) == 0;
}

// Whether the entry at index keeps its own name as its 8.3 name.
static bool keeps_own_name(const DirectoryTable& table, const UpperNames& upper, size_t index)
{
    const TableEntry& entry = table.entries[index];
    const char* upper_name = upper.of(entry);
    if (!is_valid_short_name(upper_name, entry.name_length))
        return false;
    const auto same_upper = [&](size_t other) {
        return upper.compare(table.entries[other], upper_name, entry.name_length) == 0;
    };
    const bool shared = (index > 0 && same_upper(index - 1)) ||
                        (index + 1 < table.entries.size() && same_upper(index + 1));
    return !shared || memcmp(upper_name, table.name(entry), entry.name_length) == 0;
}

// The aliases handed out so far, as hashes: a collision of two hashes only skips a
// number, it never makes two aliases equal.
struct AliasHashes {
    std::vector<uint64_t> slots;
    size_t used = 0;

    static uint64_t hash(const char* text, size_t length)
    {
        uint64_t value = 14695981039346656037ull;
        for (size_t i = 0; i < length; i++)
            value = (value ^ static_cast<unsigned char>(text[i])) * 1099511628211ull;
        return value | 1;
    }
    bool contains(uint64_t value) const
    {
        if (slots.empty())
            return false;
        for (size_t i = value % slots.size();; i = (i + 1) % slots.size()) {
            if (slots[i] == 0)
                return false;
            if (slots[i] == value)
                return true;
        }
    }
    void insert(uint64_t value)
    {
        if ((used + 1) * 2 > slots.size()) {
            std::vector<uint64_t> old;
            old.swap(slots);
            slots.assign(old.empty() ? 64 : old.size() * 2, 0);
            used = 0;
            for (uint64_t kept : old) {
                if (kept != 0)
                    insert(kept);
            }
        }
        size_t i = value % slots.size();
        while (slots[i] != 0)
            i = (i + 1) % slots.size();
        slots[i] = value;
        used++;
    }
};

static bool same_stem(const AliasStem& a, const AliasStem& b)
{
    return a.base_length == b.base_length && a.extension_length == b.extension_length &&
           memcmp(a.base, b.base, a.base_length) == 0 && memcmp(a.extension, b.extension, a.extension_length) == 0;
}

// Numbers go up in NTFS order; the next entry of the same stem goes on from the last
// number used, so a directory of many similar names is not searched from ~1 each time.
static void assign_aliases(DirectoryTable* table, const UpperNames& upper)
{
    AliasHashes given;
    AliasStem previous{};
    unsigned next_number = 1;
    for (size_t i = 0; i < table->entries.size(); i++) {
        if (keeps_own_name(*table, upper, i))
            continue;
        const TableEntry& entry = table->entries[i];
        AliasStem stem;
        alias_stem_of(table->name(entry), entry.name_length, &stem);
        unsigned number = same_stem(stem, previous) ? next_number : 1;
        char alias[16];
        size_t length = 0;
        for (; number < 1000000; number++) {
            length = format_alias(stem, number, alias);
            char upper_alias[16];
            memcpy(upper_alias, alias, length + 1);
            upper_in_place(upper_alias, length);
            const uint64_t key = AliasHashes::hash(alias, length);
            if (!given.contains(key) && !is_real_name(*table, upper, upper_alias, length)) {
                given.insert(key);
                break;
            }
        }
        if (number >= 1000000)
            continue;
        table->entries[i].alias = append_text(table->text, alias, length);
        previous = stem;
        next_number = number + 1;
    }
}

static void index_aliases(DirectoryTable* table)
{
    for (size_t i = 0; i < table->entries.size(); i++) {
        if (table->entries[i].alias != NO_ALIAS)
            table->by_alias.push_back(static_cast<uint32_t>(i));
    }
    const DirectoryTable& t = *table;
    std::sort(table->by_alias.begin(), table->by_alias.end(), [&t](uint32_t a, uint32_t b) {
        return strcmp(t.text.data() + t.entries[a].alias, t.text.data() + t.entries[b].alias) < 0;
    });
}

DWORD build_directory_table(int fd, const struct stat& status, DirectoryTable* table)
{
    table->device = status.st_dev;
    table->inode = status.st_ino;
    table->modified_seconds = status.st_mtim.tv_sec;
    table->modified_nanoseconds = status.st_mtim.tv_nsec;
    table->changed_seconds = status.st_ctim.tv_sec;
    table->changed_nanoseconds = status.st_ctim.tv_nsec;
    const DWORD scan_error = scan_names(fd, table);
    if (scan_error != ERROR_SUCCESS)
        return scan_error;
    const UpperNames upper(*table);
    sort_entries(table, upper);
    assign_aliases(table, upper);
    index_aliases(table);
    return ERROR_SUCCESS;
}

// Where an entry of this name stands in NTFS order (see sort_entries).
static size_t insertion_point(const DirectoryTable& table, const char* name, size_t length)
{
    size_t low = 0, high = table.entries.size();
    while (low < high) {
        const size_t middle = (low + high) / 2;
        const TableEntry& entry = table.entries[middle];
        int order = compare_upper(table.name(entry), entry.name_length, name, length);
        if (order == 0)
            order = strcmp(table.name(entry), name);
        if (order < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

static long index_of_host_name(const DirectoryTable& table, const char* host_name)
{
    for (size_t i = 0; i < table.entries.size(); i++) {
        if (strcmp(table.host_name(table.entries[i]), host_name) == 0)
            return static_cast<long>(i);
    }
    return -1;
}

static void forget_aliases(DirectoryTable* table)
{
    table->aliases_stale = true;
    table->by_alias.clear();
    for (TableEntry& entry : table->entries)
        entry.alias = NO_ALIAS;
}

bool add_table_entry(DirectoryTable* table, const char* host_name, unsigned char type)
{
    char shown[MAX_PATH];
    size_t shown_length;
    if (!windows_name_of(host_name, shown, sizeof shown, &shown_length))
        return false;
    const size_t at = insertion_point(*table, shown, shown_length);
    if (at < table->entries.size() && strcmp(table->name(table->entries[at]), shown) == 0)
        return true;
    TableEntry added{};
    added.name = append_text(table->text, shown, shown_length);
    added.name_length = static_cast<uint16_t>(shown_length);
    added.host = strcmp(shown, host_name) == 0 ? added.name : append_text(table->text, host_name, strlen(host_name));
    added.type = type;
    table->entries.insert(table->entries.begin() + static_cast<long>(at), added);
    forget_aliases(table);
    return true;
}

bool remove_table_entry(DirectoryTable* table, const char* host_name)
{
    const long index = index_of_host_name(*table, host_name);
    if (index < 0)
        return false;
    table->entries.erase(table->entries.begin() + index);
    forget_aliases(table);
    return true;
}

// The names are copied into a new text in table order, which drops those of removed
// entries, before the aliases are appended after them.
static void pack_names(DirectoryTable* table)
{
    std::string packed;
    packed.reserve(table->text.size());
    for (TableEntry& entry : table->entries) {
        const bool same = entry.host == entry.name;
        const uint32_t host = entry.host;
        const uint32_t name = append_text(packed, table->name(entry), entry.name_length);
        entry.host = same ? name : append_text(packed, table->text.data() + host, strlen(table->text.data() + host));
        entry.name = name;
    }
    for (uint32_t& unshown : table->unshown)
        unshown = append_text(packed, table->text.data() + unshown, strlen(table->text.data() + unshown));
    table->text.swap(packed);
}

void refresh_aliases(DirectoryTable* table)
{
    if (!table->aliases_stale)
        return;
    pack_names(table);
    const UpperNames upper(*table);
    assign_aliases(table, upper);
    index_aliases(table);
    table->aliases_stale = false;
}

bool may_be_alias(const char* name, size_t length)
{
    return memchr(name, '~', length) != nullptr;
}

// Entries whose alias matches the name, upper-cased.
static void add_alias_matches(const DirectoryTable& table, const char* name, size_t length, long* found, int* count)
{
    size_t low = 0, high = table.by_alias.size();
    while (low < high) {
        const size_t middle = (low + high) / 2;
        const char* alias = table.text.data() + table.entries[table.by_alias[middle]].alias;
        if (compare_upper(alias, strlen(alias), name, length) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    for (size_t i = low; i < table.by_alias.size(); i++) {
        const long index = table.by_alias[i];
        const char* alias = table.text.data() + table.entries[index].alias;
        if (compare_upper(alias, strlen(alias), name, length) != 0)
            break;
        if (index != *found) {
            *found = index;
            (*count)++;
        }
    }
}

long find_table_entry(const DirectoryTable& table, const char* name, size_t length, bool exactly)
{
    long found = -1;
    int count = 0;
    for (size_t i = lower_bound_upper(table, name, length); i < table.entries.size(); i++) {
        const TableEntry& entry = table.entries[i];
        if (compare_upper(table.name(entry), entry.name_length, name, length) != 0)
            break;
        if (entry.name_length == length && memcmp(table.name(entry), name, length) == 0)
            return static_cast<long>(i);
        found = static_cast<long>(i);
        count++;
    }
    if (exactly)
        return -1;
    if (may_be_alias(name, length))
        add_alias_matches(table, name, length, &found, &count);
    return count == 1 ? found : -1;
}

static bool is_spelled(const DirectoryTable& table, size_t index, const char* name, size_t length)
{
    const TableEntry& entry = table.entries[index];
    return entry.name_length == length && memcmp(table.name(entry), name, length) == 0;
}

// Entries spelled alike lie next to each other, so the entry at hint is the one the
// search would return when it is spelled so and the entry before it is not.
long find_table_entry_near(const DirectoryTable& table, const char* name, size_t length, size_t hint, bool exactly)
{
    if (hint < table.entries.size() && is_spelled(table, hint, name, length) &&
        (hint == 0 || !is_spelled(table, hint - 1, name, length)))
        return static_cast<long>(hint);
    return find_table_entry(table, name, length, exactly);
}
