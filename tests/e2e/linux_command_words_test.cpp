// /X on Linux: a file name reaches the shell as one literal word, whatever it holds and
// however the command quotes the variable, and runs nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/run_program.h"

TEST(LinuxCommandWords, hostile_names_reach_the_command_as_they_are_in_every_quoting)
{
    const std::vector<std::string> names = {
        "a;touch ran1",   "$(touch ran2)", "b`touch ran3`", "amp&touch ran4", "pipe|touch ran5", "d\"q",
        "q'uote",         "back\\slash",   "star*",          "new\nline",      "-x",              "${HOME}",
        "bad\xff" "byte", "sp ace",        "dollar$$.txt"};
    const struct {
        const char* letters;
        const char* argument;
        const char* before;
        const char* after;
    } contexts[] = {
        {"IN", "$n", "", ""},
        {"FIN", "$n", "", ""},  // F doubles no '$': the shell reads none of them
        {"IN", "\"<$n>\"", "<", ">"},
        {"IN", "'<$n>'", "<", ">"},
    };
    for (const auto& context : contexts) {
        TempTree tree;
        for (const std::string& name : names)
            tree.file("src/" + name, "x");
        tree.give_to_user();
        const std::string before = snapshot(tree.path() + "/src");
        // Each command writes the word it was given, ended by a NUL.
        const std::string command = std::string("/X") + context.letters + "=|printf '%s\\0' " + context.argument +
                                    " >> " + tree.path() + "/out|";
        const RunResult run = run_orva_as_user({command, "src\\*"}, tree.path(), {{"LANG", "C.UTF-8"}});
        EXPECT_EQ(run.err, "") << command;
        EXPECT_EQ(run.exit_code, static_cast<int>(names.size())) << command;
        std::vector<std::string> expected, received;
        for (const std::string& name : names)
            expected.push_back(context.before + ("src/" + name) + context.after);
        std::istringstream out(file_contents(tree.path() + "/out"));
        for (std::string word; std::getline(out, word, '\0');)
            received.push_back(word);
        std::sort(expected.begin(), expected.end());
        std::sort(received.begin(), received.end());
        EXPECT_EQ(received, expected) << command;
        EXPECT_EQ(snapshot(tree.path() + "/src"), before) << command;
        EXPECT_EQ(snapshot(tree.path()).find("/ran"), std::string::npos) << command << ": a name ran a command";
    }
}
