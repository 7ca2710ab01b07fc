// The command line of /X: its variables, the host form of its paths, "$;" and the limit.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "change/command_expansion.h"
#include "console/date_display.h"
#include "driver/run_settings.h"
#include "platform/posix/code_page.h"
#include "support/temporary_tree.h"
#include "walk/walk_state.h"

class CommandExpansion : public testing::Test {
protected:
    void SetUp() override
    {
        reset_run_settings();
        reset_walk_state();
    }
    void TearDown() override
    {
        reset_run_settings();
        setenv("LC_ALL", "C", 1);
        reload_code_page();
    }
    static void set_entry(const char* long_path, const char* short_path)
    {
        strcpy(walk.source_path, long_path);
        strcpy(walk.short_path, short_path);
        prepare_command_paths();
    }
    // The first command of the template for the entry, without the "/c ".
    static std::string expand(const char* long_path, const char* short_path, const char* pattern)
    {
        set_entry(long_path, short_path);
        expand_command(pattern);
        EXPECT_EQ(std::string(command.text, 3), "/c ");
        EXPECT_EQ(strlen(command.text) + 1, command.fill);
        return command.text + 3;
    }
    // Every command up to the empty one that ends the entry.
    static std::vector<std::string> commands(const char* pattern)
    {
        set_entry("a", "A");
        std::vector<std::string> result;
        for (const char* position = expand_command(pattern); command.fill != COMMAND_SWITCH_LENGTH + 1;
             position = expand_command(position))
            result.push_back(command.text + 3);
        return result;
    }
};

// On POSIX a drive that names a host directory (Z: is /) gives host paths; an unmapped
// drive keeps its letter, so those rows read as the Windows texts with '/'.
TEST_F(CommandExpansion, names_and_paths_of_the_entry)
{
    const struct {
        const char* long_path;
        const char* short_path;
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"Z:\\dir\\a.txt", "Z:\\DIR\\A.TXT", "copy $n $p/bak", "copy /dir/a.txt /dir/bak"},
        {"C:\\dir\\a.txt", "C:\\DIR\\A.TXT", "copy $n $p\\bak", "copy C:/dir/a.txt C:/dir\\bak"},
        {"C:\\a.txt", "C:\\A.TXT", "[$p][$s][$P][$S]", "[C:][][C:][]"},
        {"Z:\\a.txt", "Z:\\A.TXT", "[$p][$s]", "[/][]"},
        {"a.txt", "A.TXT", "[$p][$s][$n]", "[][.][a.txt]"},
        {"C:a.txt", "C:A.TXT", "[$p][$s][$n]", "[C:][.][C:a.txt]"},
        {"Z:a.txt", "Z:A.TXT", "[$p][$s][$n]", "[.][.][a.txt]"},
        {"\\a.txt", "\\A.TXT", "[$p][$s][$n]", "[/][.][/a.txt]"},
        {"nowhere\\sub\\a.txt", "NOWHERE\\SUB\\A.TXT", "[$p][$s][$N]", "[nowhere/sub][nowhere/sub][NOWHERE/SUB/A.TXT]"},
        {"Z:\\d\\e\\a.txt", "Z:\\D\\E\\A.TXT", "[$S][$s]", "[/D/E][/d/e]"},
        {"Z:\\d\\README", "Z:\\D\\README", "[$N][$E][$F]", "[/D/README][][README]"},
        {"Z:\\d\\a.", "Z:\\D\\A.", "[$n][$e][$f]", "[/d/a][][a]"},
        {"Z:\\d\\a.tar.gz", "Z:\\D\\ATAR~1.GZ", "[$f][$e][$F][$E]", "[a.tar][gz][ATAR~1][GZ]"},
        {"Z:\\d\\Long File.txt", "Z:\\D\\LONGFI~1.TXT", "$F.$E|$f.$e", "LONGFI~1.TXT|Long File.txt"},
        {"Z:\\d\\a.txt", "Z:\\D\\A.TXT", "$V $v", "Z: z:"},
        {"d\\a.txt", "D\\A.TXT", "[$V][$v]", "[.][.]"},
        {"Z:\\d\\a.txt", "Z:\\D\\A.TXT", "$$ $x $$n $", "$ $x $n $"},
        {"Z:\\d\\a.txt", "Z:\\D\\A.TXT", "$", "$"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(expand(c.long_path, c.short_path, c.pattern), c.expected) << c.long_path << " " << c.pattern;
}

// Each path variable's text is a word of its own for the shell, which gets it literally:
// F doubles no '$' (for cmd.exe it does; the Windows build's tests show that).
TEST_F(CommandExpansion, path_variables_are_words_and_f_doubles_nothing_for_the_shell)
{
    const char* path = "Z:\\d$x\\a$b.t$t";
    const char* pattern = "$f $e $n $p $s $$ $D";
    walk.current_level->find_data.ftLastWriteTime = file_time_of(0);
    settings.exec_double_dollar = 1;
    const std::string expanded = expand(path, path, pattern);
    EXPECT_EQ(expanded, "a$b t$t /d$x/a$b.t$t /d$x /d$x $ 01-01-01");
    std::vector<std::string> words;
    for (uint32_t i = 0; i < command.word_count; i++)
        words.push_back(expanded.substr(command.words[i].start, command.words[i].end - command.words[i].start));
    EXPECT_EQ(words, (std::vector<std::string>{"a$b", "t$t", "/d$x/a$b.t$t", "/d$x", "/d$x"}));
}

TEST_F(CommandExpansion, last_write_date_and_time_in_local_time)
{
    // 2008-09-12 10:11:12.999 UTC; the tests run with TZ=UTC.
    walk.current_level->find_data.ftLastWriteTime = file_time_of(128656878729990000ull);
    EXPECT_EQ(expand("a", "A", "$D $d $T $t"), "08-09-12 080912 10:11:12 101112");
    settings.year_4_digits = 1;
    EXPECT_EQ(expand("a", "A", "$D $d"), "2008-09-12 20080912");
}

TEST_F(CommandExpansion, semicolon_splits_and_an_empty_command_ends_the_entry)
{
    const struct {
        const char* pattern;
        std::vector<std::string> expected;
    } cases[] = {
        {"echo 1$;echo 2", {"echo 1", "echo 2"}},
        {"echo 1$;$;echo 2", {"echo 1"}},
        {"$;echo 2", {}},
        {"echo 1$;", {"echo 1"}},
        {"$e$;echo 2", {}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(commands(c.pattern), c.expected) << c.pattern;
}

TEST_F(CommandExpansion, full_paths_with_a)
{
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    settings.exec_full_path = 1;
    const std::string here = cwd;
    EXPECT_EQ(expand("no-such-entry.txt", "NO-SUC~1.TXT", "$n|$p|$V|$e"),
              here + "/no-such-entry.txt|" + here + "|Z:|txt");
}

TEST_F(CommandExpansion, a_double_byte_character_is_one_unit)
{
    setenv("LC_ALL", "ja_JP.SJIS", 1);
    reload_code_page();
    // 0x95 0x5C is one character; its second byte splits nothing. A lead byte takes the
    // byte after it even when that is '$', so no variable starts there.
    const char* path = "Z:\\d\\\x95\\x.txt";
    EXPECT_EQ(expand(path, path, "[$f][$e][$p]"), "[\x95\\x][txt][/d]");
    EXPECT_EQ(expand(path, path, "\x95$n"), "\x95$n");
}

TEST_F(CommandExpansion, limit_counts_switch_command_and_terminator)
{
    const std::string fits(1020, 'x');
    EXPECT_EQ(expand("a", "A", fits.c_str()), fits);
    EXPECT_EQ(command.fill, COMMAND_LIMIT);
    const std::string over(1021, 'x');
    expand("a", "A", over.c_str());
    EXPECT_EQ(command.fill, COMMAND_LIMIT + 1);
    // One substitution that crosses the limit is expanded whole before the refusal.
    const std::string before(1000, 'x');
    const std::string name = "Z:\\" + std::string(100, 'n');
    expand(name.c_str(), name.c_str(), (before + "$n").c_str());
    EXPECT_EQ(command.fill, 3 + 1000 + 101 + 1u);
}

// Far past the storage: the host form of a short path can be many times its length,
// and it is doubled on top; the expansion stops at the storage's end.
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
    ASSERT_TRUE(length > 0 && length < 200) << length;
    settings.exec_double_dollar = 1;
    const std::string pattern = std::string(1000, 'y') + "$N";
    expand(short_path, short_path, pattern.c_str());
    EXPECT_EQ(command.fill, COMMAND_STORAGE_SIZE);
    EXPECT_EQ(strlen(command.text), COMMAND_STORAGE_SIZE - 1);
    EXPECT_EQ(append_text("z", 1, '\0'), 0);
    command.fill = COMMAND_SWITCH_LENGTH;
    EXPECT_EQ(append_text("a$b", 3, '$'), 1);
    EXPECT_EQ(std::string(command.text + 3, command.fill - 3), "a$$b");
}
