// The command interpreter of /X: which program runs, how start failures are told apart,
// and the host form of the paths handed to it.
#include <gtest/gtest.h>

#include "layer_helpers.h"

// Windows names and paths of the interpreter mean the shell; a command's own exit code
// is no failure to start.
TEST(Processes, start_failures_are_told_apart)
{
    TempTree tree;
    tree.file("not-a-program", "\x7f" "ELF garbage", 0755);
    tree.file("not-executable", "echo", 0644);
    // The host's search reports "access denied" when a directory of PATH may not be
    // searched, as the ordinary user meets it; the program is still not found.
    tree.directory("closed", 0000);
    ScopedEnvironment path("PATH", (tree.host("closed") + ":/usr/bin:/bin").c_str());
    EXPECT_EQ(run_command_interpreter(tree.host("missing").c_str(), "true", nullptr, 0), COMMAND_NOT_FOUND);
    EXPECT_EQ(run_command_interpreter("no-such-interpreter-anywhere", "true", nullptr, 0), COMMAND_NOT_FOUND);
    EXPECT_EQ(run_command_interpreter(tree.host("not-a-program").c_str(), "true", nullptr, 0), COMMAND_NOT_EXECUTABLE);
    EXPECT_EQ(run_command_interpreter(tree.host("not-executable").c_str(), "true", nullptr, 0), COMMAND_OTHER_FAILURE);
    for (const char* name : {"CMD.EXE", "COMMAND.COM", "cmd.exe", "Z:\\bin\\sh"})
        EXPECT_EQ(run_command_interpreter(name, "exit 3", nullptr, 0), COMMAND_STARTED) << name;
    const std::string huge(300000, 'x');
    EXPECT_EQ(run_command_interpreter("/bin/sh", huge.c_str(), nullptr, 0), COMMAND_TOO_LONG);
}

// A word stays one literal word wherever the command puts it: within a command
// substitution, after a backslash or a '$', beyond a comment holding a quote. "W" marks
// where the word stands in each command.
TEST(Processes, words_stay_literal_in_every_context_of_the_command)
{
    TempTree tree;
    const std::string word = "a'b\"c $(touch ran1)`touch ran2`\\ ${HOME};touch ran3\n";
    const struct {
        std::string command;
        std::string out;
    } cases[] = {
        {"printf %s W", word},
        {"printf %s \"<W>\"", "<" + word + ">"},
        {"printf %s '<W>'", "<" + word + ">"},
        {"printf %s \"$(printf %s W)\"", word.substr(0, word.size() - 1)},
        {"printf %s \"$(printf %s \"(W)\")\"", "(" + word + ")"},
        {"printf %s \"`printf %s W`\"", word.substr(0, word.size() - 1)},
        {"printf %s \\W", word},
        {"printf %s \"\\W\"", word},
        {"printf %s \"$W\"", "$" + word},
        {"# it's a comment W\nprintf %s W", word},
        {"printf %s \"$((1+1))W\"", "2" + word},
    };
    for (const auto& c : cases) {
        std::string command;
        std::vector<CommandWord> words;
        for (const char ch : c.command) {
            if (ch == 'W')
                words.push_back({static_cast<uint32_t>(command.size()), static_cast<uint32_t>(command.size() + word.size())});
            command += ch == 'W' ? word : std::string(1, ch);
        }
        command += " > " + tree.host("out");
        EXPECT_EQ(run_command_interpreter("/bin/sh", command.c_str(), words.data(), static_cast<uint32_t>(words.size())),
                  COMMAND_STARTED);
        EXPECT_EQ(file_contents(tree.host("out")), c.out) << c.command;
        for (const char* ran : {"ran1", "ran2", "ran3"})
            EXPECT_EQ(file_contents(ran), "<missing>") << c.command;
    }
}
