// The selection filters on a hand-built current entry: name lists, source pattern,
// attribute masks, date range, and the directory and file decisions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/posix/code_page.h"
#include "walk/filters.h"
#include "walk/paths.h"
#include "walk/walk_state.h"

// Test names stay local: other test files of this binary use the same short ones.
namespace {

const uint64_t SOME_TIME = 0x01C9000000000000ull;
const DWORD HIDDEN = FILE_ATTRIBUTE_HIDDEN, ARCHIVE = FILE_ATTRIBUTE_ARCHIVE;
const uint32_t DIR_SOURCE = SOURCE_IS_DIRECTORY, DATES = DATE_RANGE_GIVEN;

char source_argument[PATH_BUFFER_SIZE];

// The source argument as prepare_source_layer leaves it: its last component is the pattern.
void set_source(const char* argument, uint32_t flags = 0)
{
    strcpy(source_argument, argument);
    settings.source_arg = source_argument;
    settings.filter_flags |= flags;
    level_table[0].root_length = static_cast<uint32_t>(last_component(source_argument) - source_argument);
}

void set_entry(const char* long_path, const char* short_path, DWORD attributes = ARCHIVE, int depth = 1,
               uint64_t written = SOME_TIME)
{
    walk.depth = depth;
    walk.current_level = &level_table[depth];
    WIN32_FIND_DATAA& entry = walk.current_level->find_data;
    entry = WIN32_FIND_DATAA{};
    entry.dwFileAttributes = attributes;
    entry.ftLastWriteTime.dwLowDateTime = static_cast<DWORD>(written);
    entry.ftLastWriteTime.dwHighDateTime = static_cast<DWORD>(written >> 32);
    strcpy(walk.source_path, long_path);
    walk.source_name = last_component(walk.source_path);
    strcpy(walk.short_path, short_path);
    walk.short_name = last_component(walk.short_path);
}

// A directory source is C:\src\dir; any other source is the pattern C:\src\*.txt.
void set_source_and_entry(uint32_t flags, const char* entry, DWORD attributes, int depth)
{
    set_source(flags & SOURCE_IS_DIRECTORY ? "C:\\src\\dir" : "C:\\src\\*.txt", flags);
    const std::string path = std::string("C:\\src\\") + entry;
    set_entry(path.c_str(), path.c_str(), attributes, depth);
}

class Filters : public testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override
    {
        reset();
        setenv("LC_ALL", "C", 1);
        reload_code_page();
    }
    static void reset()
    {
        reset_run_settings();
        reset_walk_state();
    }
};

// Items are compared from the right end of the entry's path, the short form tried where
// the long one does not match; every comma and separator cut on the way is put back.
TEST_F(Filters, name_list_items_match_the_end_of_the_path_in_either_form)
{
    const struct {
        const char *long_path, *short_path, *list;
        int expected;
    } cases[] = {
        {"C:\\src\\b.txt", "C:\\SRC\\B.TXT", ",a,b.txt", 1}, {"C:\\src\\c.txt", "C:\\SRC\\C.TXT", ",a,b.txt", 0},
        {"C:\\src\\c", "C:\\SRC\\C", "", 0},
        // Quotes enclose an item; a lone quote is just a character.
        {"C:\\d\\my file.txt", "C:\\D\\MYFILE~1.TXT", ",\"my file.txt\"", 1}, {"C:\\d\\a", "C:\\D\\A", ",\"", 0},
        {"C:\\top\\SUB\\a.txt", "C:\\TOP\\SUB\\A.TXT", ",sub\\*.txt", 1},
        {"C:\\sub\\deeper\\a.txt", "C:\\SUB\\DEEPER\\A.TXT", ",sub\\*.txt", 0},
        {"C:\\top\\xsub\\a.txt", "C:\\TOP\\XSUB\\A.TXT", ",sub\\*.txt", 0}, {"a.txt", "A.TXT", ",*\\*", 0},
        // A drive or root in an item works only where the entry's path holds it.
        {"C:\\a.txt", "C:\\A.TXT", ",C:\\*.txt", 1}, {"C:\\d\\a.txt", "C:\\D\\A.TXT", ",C:\\*.txt", 0},
        {"C:\\d\\a.txt", "C:\\D\\A.TXT", ",\\d\\*.txt", 0}, {"\\d\\a.txt", "\\D\\A.TXT", ",\\d\\*.txt", 1},
        {"C:\\Program Files\\x.txt", "C:\\PROGRA~1\\X.TXT", ",progra~1\\*.txt", 1},
        {"C:\\Program Files\\x.txt", "C:\\PROGRA~1\\X.TXT", ",Files\\*", 0},
        // -1 from "*." on the long name leaves the short form untried.
        {"C:\\d\\a.b", "C:\\D\\AB", ",*.", 0}, {"C:\\d\\a.b", "C:\\D\\AB", ",ab", 1},
        // Under CP932 0x95 0x5C is one character whose trail byte is '\'.
        {"C:\\d\\\x95\\a.txt", "C:\\D\\\x95\\A.TXT", ",d\\*.txt", 1},
        {"C:\\\x95\\\\a.txt", "C:\\\x95\\\\A.TXT", ",\"\x95\\\\*.txt\"", 1},
        {"C:\\\x95\\\\a.txt", "C:\\\x95\\\\A.TXT", ",\\a.txt", 0},
    };
    for (const auto& c : cases) {
        setenv("LC_ALL", strchr(c.long_path, '\x95') != nullptr ? "ja_JP.SJIS" : "C", 1);
        reload_code_page();
        set_entry(c.long_path, c.short_path);
        std::string list = c.list;
        EXPECT_EQ(name_list_matches(list.data()), c.expected) << c.long_path << " in " << c.list;
        EXPECT_EQ(list, c.list);
        EXPECT_STREQ(walk.source_path, c.long_path);
        EXPECT_STREQ(walk.short_path, c.short_path);
        EXPECT_EQ(walk.source_name, last_component(walk.source_path));
    }
    EXPECT_EQ(name_list_matches(nullptr), 0);
}

TEST_F(Filters, source_pattern_tries_long_then_short_name)
{
    const struct {
        const char *source, *long_path, *short_path;
        int expected;
    } cases[] = {
        {"C:\\src\\", "C:\\src\\a.txt", "C:\\SRC\\A.TXT", 1}, {"C:\\src\\*.txt", "C:\\src\\a.doc", "C:\\SRC\\A.DOC", 0},
        {"C:\\src\\LONGFI~1.TXT", "C:\\src\\Long File.txt", "C:\\SRC\\LONGFI~1.TXT", 1},
        {"*.", "C:\\d\\a.b", "C:\\D\\AB", 0}, {"*.", "C:\\d\\ab", "C:\\D\\AB", 1},
    };
    for (const auto& c : cases) {
        set_source(c.source);
        set_entry(c.long_path, c.short_path);
        EXPECT_EQ(source_name_matches(), c.expected) << c.source << " " << c.long_path;
    }
}

TEST_F(Filters, attributes_and_dates)
{
    // any_of, all_of, none_of as /=, /& and /! give them.
    const struct { uint32_t any_of, all_of, none_of; DWORD attributes; int expected; } masks[] = {
        {0, 0, 0, 0x37, 1}, {0, 0x03, 0, 0x23, 1}, {0, 0x03, 0, 0x01, 0}, {0, 0, 0x10, 0x10, 0},
        {0x05, 0, 0, 0x04, 1}, {0x05, 0, 0, 0x20, 0}, {0x05, 0x20, 0x02, 0x21, 1}, {0x05, 0x20, 0x02, 0x23, 0}};
    for (const auto& c : masks) {
        settings.attr_any_of = c.any_of;
        settings.attr_all_of = c.all_of;
        settings.attr_none_of = c.none_of;
        set_entry("C:\\x", "C:\\X", c.attributes);
        EXPECT_EQ(attributes_pass(), c.expected) << c.any_of << " " << c.all_of << " " << c.none_of << " "
                                                 << c.attributes;
    }
    // Both bounds exclude their own time unless /AE or /BE makes them inclusive.
    const struct { uint64_t oldest, newest; uint32_t flags; uint64_t written; int expected; } dates[] = {
        {0, UINT64_MAX, 0, 0, 0}, {0, UINT64_MAX, OLDEST_INCLUSIVE, 0, 1}, {100, 200, 0, 100, 0},
        {100, 200, OLDEST_INCLUSIVE, 100, 1}, {100, 200, 0, 101, 1}, {100, 200, 0, 200, 0},
        {100, 200, NEWEST_INCLUSIVE, 200, 1}, {100, 200, NEWEST_INCLUSIVE, 201, 0},
        {0xFFFFFFFFull, UINT64_MAX, 0, 0x100000000ull, 1}};
    for (const auto& c : dates) {
        settings.oldest_date = c.oldest;
        settings.newest_date = c.newest;
        settings.filter_flags = c.flags;
        set_entry("C:\\x", "C:\\X", ARCHIVE, 1, c.written);
        EXPECT_EQ(date_in_range(), c.expected) << c.oldest << ".." << c.newest << " flags " << c.flags << " at "
                                               << c.written;
    }
}

TEST_F(Filters, directory_passes_decides_and_tracks_the_source_directory)
{
    const struct {
        const char* behaviour;
        uint32_t flags;
        uint16_t operation;
        uint32_t none_of;
        int depth, entered_before;
        const char* entry;
        int expected, entered_after;
    } cases[] = {
    {"source directory passes before its contents", DIR_SOURCE, OP_LIST, 0, 0, 0, "dir", 1, 1},
    {"source directory passes despite dates", DIR_SOURCE | DATES, OP_DELETE, 0, 0, 0, "DIR", 1, 1},
    {"source directory of another name is refused", DIR_SOURCE, OP_LIST, 0, 0, 0, "other", 0, 0},
    {"source directory after its contents clears entered", DIR_SOURCE, OP_DELETE, 0, 0, 1, "dir", 1, 0},
    {"below the source, nothing passes before entry", DIR_SOURCE, OP_LIST, 0, 1, 0, "dir\\a", 0, 0},
    {"inside: tree ignores the masks", DIR_SOURCE, OP_TREE, 0x10, 2, 1, "dir\\a\\b", 1, 1},
    {"inside: move ignores the masks", DIR_SOURCE, OP_COPY | MOD_MOVE, 0x10, 1, 1, "dir\\a", 1, 1},
    {"inside: update ignores the masks", DIR_SOURCE, OP_UPDATE, 0x10, 1, 1, "dir\\a", 1, 1},
    {"inside: listing applies the masks", DIR_SOURCE, OP_LIST, 0x10, 1, 1, "dir\\a", 0, 1},
    {"inside: the date range is not applied", DIR_SOURCE | DATES, OP_DELETE, 0, 1, 1, "dir\\a", 1, 1},
    {"pattern source: tree passes every directory", DATES, OP_TREE, 0x10, 1, 0, "sub", 1, 0},
    {"pattern source: a date range refuses deletion", DATES, OP_DELETE, 0, 1, 0, "x.txt", 0, 0},
    {"pattern source: the name pattern applies", 0, OP_LIST, 0, 1, 0, "sub", 0, 0},
    {"pattern source: a matching directory passes", 0, OP_LIST, 0, 1, 0, "x.txt", 1, 0},
    {"pattern source: /!D refuses directories", 0, OP_LIST, 0x10, 1, 0, "x.txt", 0, 0}};
    for (const auto& c : cases) {
        reset();
        settings.operation = c.operation;
        settings.attr_none_of = c.none_of;
        walk.source_dir_entered = c.entered_before;
        set_source_and_entry(c.flags, c.entry, FILE_ATTRIBUTE_DIRECTORY, c.depth);
        EXPECT_EQ(directory_passes(), c.expected) << c.behaviour;
        EXPECT_EQ(walk.source_dir_entered, c.entered_after) << c.behaviour;
    }
}

TEST_F(Filters, file_passes_applies_pattern_dates_and_masks)
{
    const struct {
        const char* behaviour;
        uint32_t flags;
        int entered;
        uint32_t none_of;
        uint64_t oldest;
        const char* entry;
        DWORD attributes;
        int expected;
    } cases[] = {
        {"directory source: nothing before it is entered", DIR_SOURCE, 0, 0, 0, "dir\\a.txt", ARCHIVE, 0},
        {"directory source: its own name is no pattern", DIR_SOURCE, 1, 0, 0, "dir\\a.doc", ARCHIVE, 1},
        {"directory source: dates still apply", DIR_SOURCE, 1, 0, SOME_TIME, "dir\\a.txt", ARCHIVE, 0},
        {"directory source: masks still apply", DIR_SOURCE, 1, HIDDEN, 0, "dir\\a.txt", HIDDEN, 0},
        {"pattern source: a matching file passes", 0, 0, 0, 0, "d\\a.txt", ARCHIVE, 1},
        {"pattern source: other names are refused", 0, 0, 0, 0, "d\\a.doc", ARCHIVE, 0}};
    for (const auto& c : cases) {
        reset();
        walk.source_dir_entered = c.entered;
        settings.attr_none_of = c.none_of;
        settings.oldest_date = c.oldest;
        set_source_and_entry(c.flags, c.entry, c.attributes, 1);
        EXPECT_EQ(file_passes(), c.expected) << c.behaviour;
    }
}

}  // namespace
