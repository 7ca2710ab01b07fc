// Runs the built program in a temporary directory and captures what it did.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "support/temporary_tree.h"

struct RunResult {
    std::string out;
    std::string err;
    int exit_code = -1;
};

// The words that start the program under test, between before and arguments. It is the
// Linux build unless ORVA_PROGRAM names another build (ORVA.EXE) and ORVA_LAUNCHER the
// program that starts it (wine).
std::vector<std::string> orva_words(const std::vector<std::string>& before = {},
                                    const std::vector<std::string>& arguments = {});

// Runs the program with the arguments in directory cwd. The environment holds only
// PATH, TZ=UTC and LANG=C unless env overrides or adds variables (an empty value
// removes one); with a launcher, also the launcher's own variables (WINEPREFIX,
// WINEDEBUG, HOME), and CRLF line ends in both outputs are read as LF.
RunResult run_orva(const std::vector<std::string>& arguments, const std::string& cwd,
                   const std::map<std::string, std::string>& env = {});
// The same for words[0], another program started as it is (the launcher's rules above apply).
RunResult run_words(const std::vector<std::string>& words, const std::string& cwd,
                    const std::map<std::string, std::string>& env = {});

// The program run as the user (nobody when the suite runs as root: see
// support/temporary_tree.h), for refusals that root would not meet; as root, cwd is opened
// to everyone first. With a launcher, nobody needs a prefix of its own: ORVA_NOBODY_WINEPREFIX.
RunResult run_orva_as_user(const std::vector<std::string>& arguments, const std::string& cwd,
                           const std::map<std::string, std::string>& env = {});
// The words that start the program as the user: setpriv's before them when run as root.
std::vector<std::string> orva_words_as_user(const std::vector<std::string>& arguments);

// The environment run_program gives, as NAME=value words.
std::vector<std::string> test_environment(const std::map<std::string, std::string>& env);
// In a child: starts words[0] with the words as arguments and that environment.
[[noreturn]] void exec_words(const std::vector<std::string>& words, const std::vector<std::string>& environment);

// The cases of a file of tests/e2e/expected: each begins with a line
// "$ <exit code> [name=value ...] <arguments ...>" (one space between words); the lines
// below it, up to the next such line, are its standard output, and those after a line
// "--- stderr" its standard error.
struct GoldenCase {
    std::vector<std::string> arguments;
    std::map<std::string, std::string> env;
    int exit_code;
    std::string out;
    std::string err;
};
std::vector<GoldenCase> golden_cases(const std::string& name);
// Runs each case of that file in root, or in the directory below it that the case's
// variable CWD names, with "<root>" in its words and output standing for root. It expects
// the exit code, the standard error, and the output as shown() gives it (the aliases and
// the archive letter blurred on both sides under Wine).
void expect_golden_cases(const std::string& name, const std::string& root,
                         std::string (*shown)(const std::string&) = nullptr);
std::string expected_file(const std::string& name);

// How many times part occurs in text, overlapping occurrences included.
int count_of(const std::string& text, const std::string& part);

// UTF-8 text as CP932 bytes.
std::string to_cp932(const std::string& utf8);
