// The command line of /X: its variables on every shape of path, "$;" and the limit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "change/command_expansion.h"
#include "platform/posix/paths/code_page.h"
#include "records/run_settings.h"
#include "records/walk_state.h"
#include "support/temporary_tree.h"
#include "time/file_time.h"

class CommandExpansion : public testing::Test {
protected:
    void SetUp() override
    {
        reset_run_settings();
        reset_walk_state();
        // 2008-09-12 10:11:12.999 UTC; the tests run with TZ=UTC.
        walk.current_level->find_data.ftLastWriteTime = file_time_of(128656878729990000ull);
    }
    // The first command of the template for the entry, without the "/c ".
    static std::string expand(const char* long_path, const char* short_path, const char* pattern)
    {
        strcpy(walk.source_path, long_path);
        strcpy(walk.short_path, short_path);
        prepare_command_paths();
        expand_command(pattern);
        EXPECT_EQ(std::string(command.text, 3), "/c ");
        EXPECT_EQ(strlen(command.text) + 1, command.fill);
        return command.text + 3;
    }
};

// Upper-case letters take the short form, lower-case ones the long form. On POSIX a
// drive that names a host directory (Z: is /) gives host paths; an unmapped drive keeps
// its letter, so those rows read as the Windows texts with '/'.
TEST_F(CommandExpansion, every_variable_on_every_shape_of_path)
{
    const struct {
        const char* long_path;
        const char* short_path;
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"Z:\\d\\Long File.txt", "Z:\\D\\LONGFI~1.TXT", "$F.$E|$f.$e|$N|$n",
         "LONGFI~1.TXT|Long File.txt|/D/LONGFI~1.TXT|/d/Long File.txt"},
        {"Z:\\d\\e\\a.txt", "Z:\\D\\E\\A.TXT", "[$P][$p][$S][$s]", "[/D/E][/d/e][/D/E][/d/e]"},
        {"C:\\dir\\a.txt", "C:\\DIR\\A.TXT", "copy $n $p\\bak", "copy C:/dir/a.txt C:/dir\\bak"},
        {"C:\\a.txt", "C:\\A.TXT", "[$p][$s]", "[C:][]"},
        {"Z:\\a.txt", "Z:\\A.TXT", "[$p][$s]", "[/][]"},
        {"a.txt", "A.TXT", "[$p][$s][$n]", "[][.][a.txt]"},
        {"C:a.txt", "C:A.TXT", "[$p][$s][$n]", "[C:][.][C:a.txt]"},
        {"\\a.txt", "\\A.TXT", "[$p][$s][$n]", "[/][.][/a.txt]"},
        {"Z:\\d\\README", "Z:\\D\\README", "[$N][$E][$F]", "[/D/README][][README]"},
        {"Z:\\d\\a.", "Z:\\D\\A.", "[$n][$e][$f]", "[/d/a][][a]"},
        {"Z:\\d\\a.tar.gz", "Z:\\D\\ATAR~1.GZ", "[$f][$e][$F][$E]", "[a.tar][gz][ATAR~1][GZ]"},
        {"z:\\d\\a.txt", "z:\\D\\A.TXT", "$V $v", "Z: z:"},
        {"d\\a.txt", "D\\A.TXT", "[$V][$v]", "[.][.]"},
        {"a", "A", "$D $d $T $t", "08-09-12 080912 10:11:12 101112"},
        {"a", "A", "$$ $x $$n $", "$ $x $n $"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(expand(c.long_path, c.short_path, c.pattern), c.expected) << c.long_path << " " << c.pattern;
}

TEST_F(CommandExpansion, semicolon_splits_and_an_empty_command_ends_the_entry)
{
    const struct { const char* pattern; std::vector<std::string> expected; } cases[] = {
        {"echo 1$;echo 2", {"echo 1", "echo 2"}}, {"echo 1$;$;echo 2", {"echo 1"}}, {"$;echo 2", {}},
        {"echo 1$;", {"echo 1"}}, {"$e$;echo 2", {}},
    };
    for (const auto& c : cases) {
        expand("a", "A", "");
        std::vector<std::string> commands;
        for (const char* position = expand_command(c.pattern); command.fill != COMMAND_SWITCH_LENGTH + 1;
             position = expand_command(position))
            commands.push_back(command.text + 3);
        EXPECT_EQ(commands, c.expected) << c.pattern;
    }
}

// 0x95 0x5C is one character; its second byte splits nothing. A lead byte takes the
// byte after it even when that is '$', so no variable starts there.
TEST_F(CommandExpansion, a_double_byte_character_is_one_unit)
{
    setenv("LC_ALL", "ja_JP.SJIS", 1);
    reload_code_page();
    const char* path = "Z:\\d\\\x95\\x.txt";
    EXPECT_EQ(expand(path, path, "[$f][$e][$p]"), "[\x95\\x][txt][/d]");
    EXPECT_EQ(expand(path, path, "\x95$n"), "\x95$n");
    setenv("LC_ALL", "C", 1);
    reload_code_page();
}

// Far past the storage: the host form of a short path can be many times its length;
// the expansion stops at the storage's end.
TEST_F(CommandExpansion, expansion_far_past_the_storage_stays_inside_it)
{
    TempTree tree;
    std::string relative;
    for (int depth = 0; depth < 12; depth++) {
        relative += (depth ? "/" : "") + std::string(200, '$');
        tree.directory(relative);
    }
    const std::string long_path = tree.windows(relative);
    char short_path[PATH_BUFFER_SIZE];
    const DWORD length = GetShortPathNameA(long_path.c_str(), short_path, sizeof short_path);
    EXPECT_TRUE(length > 0 && length < 200) << length;
    expand(short_path, short_path, (std::string(1000, 'y') + "$N").c_str());
    EXPECT_EQ(command.fill, COMMAND_STORAGE_SIZE);
    EXPECT_EQ(strlen(command.text), COMMAND_STORAGE_SIZE - 1);
    EXPECT_EQ(append_text("z", 1, '\0'), 0);
}
