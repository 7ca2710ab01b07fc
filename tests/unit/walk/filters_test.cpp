// The name lists of /W, /I, /P and /O on a hand-built current entry. Which entries an
// operation is offered (pattern, masks, dates, directories) is seen end to end.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/posix/paths/code_page.h"
#include "records/walk_state.h"
#include "walk/filters.h"
#include "walk/paths.h"

static void set_entry(const char* long_path, const char* short_path)
{
    walk.depth = 1;
    walk.current_level = &level_table[1];
    strcpy(walk.source_path, long_path);
    walk.source_name = last_component(walk.source_path);
    strcpy(walk.short_path, short_path);
    walk.short_name = last_component(walk.short_path);
}

class Filters : public testing::Test {
protected:
    void SetUp() override { reset_walk_state(); }
    void TearDown() override
    {
        setenv("LC_ALL", "C", 1);
        reload_code_page();
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
