// Command execution (/X): real commands through the shell, what they receive, the
// prompt per command, the limit, interpreters that cannot start, the child's terminal.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "e2e/known_differences.h"
#include "e2e/pty_session.h"
#include "e2e/run_program.h"

static const std::string PROMPT = " <Execute:Y, Skip:N, All:A, Skip All:X>? ";

static const bool CMD = differs(INTERPRETER_IS_CMD);

// Text with paths as the interpreter receives them: Windows paths under cmd.exe.
static std::string host_paths(const std::string& text)
{
    std::string paths = CMD && text[0] == '/' ? "Z:" + text : text;
    std::replace(paths.begin(), paths.end(), '/', CMD ? '\\' : '/');
    return paths;
}

// What "echo <line> >> out" commands leave in out: cmd.exe keeps the space before the
// redirection and ends each line with CRLF.
static std::string echoed(const std::string& lines)
{
    std::string result;
    for (const char c : host_paths(lines))
        result += CMD && c == '\n' ? " \r\n" : std::string(1, c);
    return result;
}

// Every case writes what its commands received to the file out beside the source.
TEST(Execute, commands_receive_the_entry_and_run_in_order)
{
    const std::string long_text(1020 - 12, 'x'), long_command = "echo " + long_text + " >> out";
    const struct { const char* name; std::vector<std::string> arguments; std::string out_file; int exit_code;
                   std::string err; } cases[] = {
        {"files_then_each_directory_after_its_contents", {"/XI='echo $n >> out'", "src"},
         "src/a.txt\nsrc/d/b.txt\nsrc/d\nsrc\n", 2,
         host_paths("echo src/a.txt >> out\necho src/d/b.txt >> out\necho src/d >> out\necho src >> out\n")},
        {"quiet_without_prompts_shows_nothing", {"/XIN='echo $f >> out'", "src\\d\\b.txt"}, "b\n", 1, ""},
        {"two_commands_per_entry", {"/XIN='echo 1 >> out$;echo 2 >> out'", "src\\a.txt"}, "1\n2\n", 1, ""},
        {"empty_command_ends_the_entry", {"/XIN='echo 1 >> out$;$;echo 2 >> out'", "src\\a.txt"}, "1\n", 1, ""},
        {"a_child_failing_is_no_error", {"/XIN='echo $f >> out$;exit 7'", "src\\*.txt"}, "a\nb\n", 2, ""},
        {"entries_refused_by_filters_are_not_run", {"/XIN='echo $n >> out'", "/W='b*'", "src"},
         "src/d/b.txt\nsrc/d\nsrc\n", 1, ""},
        {"command_of_1020_bytes_runs", {"/XIN=|" + long_command + "|", "src\\a.txt"}, long_text + "\n", 1, ""},
        {"command_of_1021_bytes_is_refused_and_stops_the_run", {"/XIN=|x" + long_command + "|", "src\\*.txt"},
         "<missing>", 1, "Too long command line to execute!\n[/c x" + long_command + "]\n"},
    };
    for (const auto& c : cases) {
        TempTree tree;
        tree.file("src/a.txt", "a");
        tree.file("src/d/b.txt", "b");
        const RunResult run = run_orva(c.arguments, tree.path());
        EXPECT_EQ(file_contents(tree.path() + "/out"), echoed(c.out_file)) << c.name;
        EXPECT_EQ(run.exit_code, c.exit_code) << c.name;
        EXPECT_EQ(run.err, c.err) << c.name;
        EXPECT_EQ(run.out, "") << c.name;
    }
}

TEST(Execute, interpreter_that_cannot_start_stops_the_run)
{
    TempTree tree;
    tree.file("src/a.txt");
    tree.file("src/b.txt");
    tree.file("garbage", "\x7f" "ELF garbage");
    chmod((tree.path() + "/garbage").c_str(), 0755);
    tree.file("plain", "echo");
    const struct { std::string comspec; std::string err; } cases[] = {
        {"/nonexistent", "file or path not found!\n"},
        {tree.path() + "/garbage", "file is not executable or bat format!\n"},
        {tree.path() + "/plain", "unknown child process error!\n"},
    };
    // Wine starts its own cmd.exe, whatever COMSPEC says.
    for (const auto& c : cases) {
        std::remove((tree.path() + "/out").c_str());
        const RunResult run = run_orva({"/XIN='echo $f >> out'", "src\\*.txt"}, tree.path(), {{"COMSPEC", c.comspec}});
        EXPECT_EQ(run.err, CMD ? "" : c.err) << c.comspec;
        EXPECT_EQ(run.exit_code, CMD ? 2 : 1) << c.comspec;
        EXPECT_EQ(file_contents(tree.path() + "/out"), CMD ? echoed("a\nb\n") : "<missing>") << c.comspec;
    }
}

// Each command of an entry is asked about by itself: N skips only that one. The child
// gets the terminal in its normal mode, with its line editing and echo.
TEST(ExecutePrompt, yes_runs_no_skips_the_command_all_runs_the_rest_and_the_child_has_a_normal_terminal)
{
    TempTree tree;
    tree.file("src/a");
    tree.file("src/b");
    PtySession s(ORVA_BINARY, {"/X='echo 1$f >> out$;echo 2$f >> out; stty -a > child'", "src"}, tree.path());
    ASSERT_TRUE(s.wait_for("echo 1a >> out" + PROMPT));
    s.type("y");
    ASSERT_TRUE(s.wait_for("echo 2a >> out; stty -a > child" + PROMPT));
    s.type("n");
    ASSERT_TRUE(s.wait_for("echo 1b >> out" + PROMPT));
    s.type("a");
    EXPECT_EQ(s.wait_exit(), 2);
    EXPECT_EQ(file_contents(tree.path() + "/out"), "1a\n1b\n2b\n1src\n2src\n");
    EXPECT_EQ(count_of(s.output(), PROMPT), 3);
    EXPECT_NE(s.output().find("a\r\necho 2b >> out; stty -a > child\r\necho 1src >> out\r\n"), std::string::npos)
        << s.output();
    const std::string child = file_contents(tree.path() + "/child");
    EXPECT_NE(child.find(" icanon"), std::string::npos) << child;
    EXPECT_EQ(child.find("-icanon"), std::string::npos) << child;
    EXPECT_EQ(child.find("-echo "), std::string::npos) << child;
}
