// /X on Linux: a file name reaches the shell as one literal word, whatever it holds and
// however the command quotes the variable, and runs nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e/run_program.h"

// The words a command wrote with printf '%s\0'.
static std::vector<std::string> records(const std::string& text)
{
    std::vector<std::string> found;
    size_t start = 0;
    for (size_t end; (end = text.find('\0', start)) != std::string::npos; start = end + 1)
        found.push_back(text.substr(start, end - start));
    return found;
}

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
        const std::string command = std::string("/X") + context.letters + "=|printf '%s\\0' " + context.argument +
                                    " >> " + tree.path() + "/out|";
        const RunResult run = run_orva_as_user({command, "src\\*"}, tree.path(), {{"LANG", "C.UTF-8"}});
        EXPECT_EQ(run.err, "") << command;
        EXPECT_EQ(run.exit_code, static_cast<int>(names.size())) << command;
        std::vector<std::string> expected;
        for (const std::string& name : names)
            expected.push_back(context.before + ("src/" + name) + context.after);
        std::vector<std::string> received = records(file_contents(tree.path() + "/out"));
        std::sort(expected.begin(), expected.end());
        std::sort(received.begin(), received.end());
        EXPECT_EQ(received, expected) << command;
        EXPECT_EQ(snapshot(tree.path() + "/src"), before) << command;
        for (const char* ran : {"ran1", "ran2", "ran3", "ran4", "ran5"})
            EXPECT_EQ(file_contents(tree.path() + "/" + ran), "<missing>") << command;
    }
}
