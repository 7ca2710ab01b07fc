// The command line end to end: help and version, refused arguments, the debug lines and
// a standard output that cannot be written.
#include <gtest/gtest.h>

#include <sstream>

#include "e2e/known_differences.h"
#include "e2e/run_program.h"

using Environment = std::map<std::string, std::string>;

static const Environment SHIFT_JIS = {{"LANG", "ja_JP.SJIS"}};

static std::string refused(const std::string& argument)
{
    return "Parameter error. [" + argument + "]\nUse /? option to show usage.\n";
}

class CommandLine : public testing::Test {
protected:
    RunResult run(const std::vector<std::string>& arguments, const Environment& env = {})
    {
        return run_orva(arguments, tree.path(), env);
    }
    TempTree tree;
};

// The one place where the Japanese texts' encoding is checked: CP932 under code page 932,
// UTF-8 under a UTF-8 locale, English with /E or an English user (LC_MESSAGES) and when
// LC_ALL, read before LANG, says so; with the parameter bit only the help; a refused
// option before the help or the version gives both. Each line "@name" of a case's output
// stands for one of these texts.
TEST_F(CommandLine, help_and_version_speak_the_language_and_encoding_of_the_locale_and_exit_0)
{
    const std::string english = expected_file("help_english.txt");
    const std::string utf8_text = expected_file("help_japanese_utf8.txt");
    const std::string version = english.substr(0, english.find('\n') + 1);
    const std::string version_japanese = "階層ディレクトリファイル操作プログラム  Version 6.01\n";
    const std::map<std::string, std::string> texts = {
        {"@english", english}, {"@japanese", messages_in(to_cp932(utf8_text), english)},
        {"@japanese-utf8", messages_in(utf8_text, english)}, {"@refused", refused("/Z")}, {"@version", version},
        {"@version-japanese", to_cp932(version_japanese)}, {"@version-japanese-utf8", version_japanese}};
    std::vector<GoldenCase> cases = golden_cases("help_cases.txt");
    // On Windows --help and --version are paths like any other.
    if (!differs(HELP_WORDS_ARE_PATHS)) {
        for (const GoldenCase& c : golden_cases("help_words_cases.txt"))
            cases.push_back(c);
    }
    for (const GoldenCase& c : cases) {
        std::string expected;
        std::istringstream names(c.out);
        for (std::string name; std::getline(names, name);)
            expected += texts.at(name);
        const RunResult result = run(c.arguments, c.env);
        EXPECT_EQ(result.out, expected) << "case " << &c - cases.data();
        EXPECT_EQ(result.err, "") << "case " << &c - cases.data();
        EXPECT_EQ(result.exit_code, 0) << "case " << &c - cases.data();
    }
    // Only the two exact words: any other argument beginning with '-' is a path.
    for (const std::string path : {"--Version", "-x", "--help"}) {
        if (path == "--help" && !differs(HELP_WORDS_ARE_PATHS))
            continue;
        tree.file(path, "12");
        const RunResult listed = run({path});
        EXPECT_NE(listed.out.find(" 2 "), std::string::npos) << path << ": " << listed.out;
        EXPECT_EQ(listed.exit_code, 1) << path;
    }
}

// Among the cases: a move never removes its source (/CRM), the directory bit cannot be
// changed (/-RD, /+D), an option is cut at its quoted value, /?1 and /ST print nothing
// before the error. A path too long for its buffer is refused, and one ending in "\\.." is
// read as one byte longer.
TEST_F(CommandLine, every_refused_argument_prints_the_error_pair_in_the_language_of_the_moment_and_exits_255)
{
    tree.file("a.txt", "x");
    expect_golden_cases("refused_cases.txt", tree.path());
    for (const std::string& too_long :
         {std::string(1023, 'a'), std::string(1019, 'a') + "\\..", "/" + std::string(5000, '9')}) {
        const RunResult result = run({too_long});
        EXPECT_EQ(result.out, refused(too_long));
        EXPECT_EQ(result.exit_code, 255);
    }
    const RunResult japanese = run({"/Z", "/E", "/Q1x"}, SHIFT_JIS);
    EXPECT_EQ(japanese.out, messages_in(to_cp932("パラメータが不正です. [/Z]\n/?オプションで使用方法を表示します.\n"),
                                        refused("/Z")) + refused("/Q1x"));
    EXPECT_EQ(run({std::string(1022, 'a')}).exit_code, 0) << "the longest path that fits";
    // An option letter before the byte: Wine under a Shift-JIS host locale turns a lone
    // 0x81 into '?', which must not make the argument the help.
    EXPECT_EQ(run({"/C\x81", "/W=\x81"}, SHIFT_JIS).exit_code, 255) << "bytes invalid in the code page";
    const size_t length = differs(COMMAND_LINE_LIMIT) ? 16000 : 100000;
    EXPECT_EQ(run({"/" + std::string(length, 'L')}).exit_code, 255);
    const std::string list = "/W='" + std::string(length, 'x') + "'";
    EXPECT_EQ(run({list, list}).exit_code, 0) << "a long name list is taken without overrun";
}

// orvadebug shows both paths before and after quote removal and ignores a third; /?1
// shows the parameters in Windows form; the run goes on after both.
TEST_F(CommandLine, debug_lines_go_to_standard_error)
{
    tree.file("x", "12345");
    tree.times("x", 1221214272);
    expect_golden_cases("debug_cases.txt", tree.path());
    EXPECT_EQ(run({"/?1", "src/sub", "Z:/tmp"}).err, differs(SLASH_KEPT_IN_ARGUMENTS)
                                                         ? "Parameters: [/?1] [src/sub] [Z:/tmp]\n"
                                                         : "Parameters: [/?1] [src\\sub] [Z:\\tmp]\n");
    // Bytes invalid in the code page are kept in paths. Wine clears the top bit of each
    // byte that is not UTF-8.
    const std::string invalid = differs(ARGUMENTS_READ_AS_UTF8) ? "\x7f~\x01" : "\xff\xfe\x81";
    EXPECT_EQ(run({"\xff\xfe\x81"}, {{"LANG", "en_US.UTF-8"}, {"orvadebug", "1"}}).err,
              "src:[" + invalid + "],dst:[]\nsrc:[" + invalid + "],dst:[]\n");
}

// The result lines are lost on a full disk: the run must not report files operated.
// A short run fails when its last buffer is written at the end, a long one on the way.
TEST_F(CommandLine, output_that_cannot_be_written_fails_the_run_with_a_message)
{
    for (int i = 0; i < 2000; i++)
        tree.file("many/f" + std::to_string(i));
    for (const char* source : {"many\\f1", "many"}) {
        const RunResult result = run_words(orva_words({"/bin/sh", "-c", "exec \"$0\" \"$@\" >/dev/full"}, {source}), tree.path());
        EXPECT_EQ(result.err, "Cannot write to standard output!\n") << source;
        EXPECT_EQ(result.exit_code, 255) << source;
    }
}

// A host path typed where an option begins ("/tmp/x") is refused like any option, with
// the form that names it as a path; the form given is one the program takes. A name the
// C locale cannot show gets no form.
TEST(LinuxHostPaths, a_refused_argument_naming_a_host_entry_shows_its_form_with_drive_z)
{
    TempTree tree;
    tree.file("a.txt", "x");
    tree.file("back\\slash", "x");
    expect_golden_cases("host_path_cases.txt", tree.path());
    const std::string root = tree.path();
    EXPECT_EQ(run_orva({"/L1", "Z:" + root + "/back\xEF\x81\x9Cslash"}, root, {{"LANG", "C.UTF-8"}}).exit_code, 1);
    EXPECT_EQ(run_orva({"/L1", "Z:" + root + "/a.txt"}, root).exit_code, 1);
}
