// The command line end to end: help, parameter errors, /?1, orvadebug and exit codes.
#include <gtest/gtest.h>

#include "e2e/known_differences.h"
#include "e2e/run_program.h"

using Environment = std::map<std::string, std::string>;

static const Environment SHIFT_JIS = {{"LANG", "ja_JP.SJIS"}};
static const Environment JAPANESE_UTF8 = {{"LANG", "ja_JP.UTF-8"}};

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

TEST_F(CommandLine, help_exits_0_in_english_or_in_japanese_under_code_page_932_or_utf8_for_a_japanese_user_without_e)
{
    const std::string english = expected_file("help_english.txt");
    const std::string utf8_text = expected_file("help_japanese_utf8.txt");
    EXPECT_NE(to_cp932(utf8_text).find("\x81\x60"), std::string::npos) << "the full-width tilde of n=0～130";
    const std::string japanese = messages_in(to_cp932(utf8_text), english);
    const std::string japanese_utf8 = messages_in(utf8_text, english);
    const struct { std::vector<std::string> arguments; Environment env; std::string out; } cases[] = {
        {{"/?"}, {}, english},
        {{"/?/E"}, SHIFT_JIS, english},
        {{"/?"}, SHIFT_JIS, japanese},
        {{"/?"}, {{"LANG", "ja_JP.SJIS"}, {"LC_ALL", "en_US.UTF-8"}}, english},  // LC_ALL before LANG
        {{"/?"}, {{"LC_CTYPE", "ja_JP.cp932"}}, japanese},
        {{"/?80000001"}, {}, english},  // with the parameter bit: only the help
        {{"/Z", "/?"}, {}, refused("/Z") + english},  // a refused option before the help: both, and exit 0
        {{"/?"}, JAPANESE_UTF8, japanese_utf8},
        {{"/?"}, {{"LANG", "C"}, {"LC_ALL", "ja.utf8"}}, japanese_utf8},
        {{"/?/E"}, JAPANESE_UTF8, english},
        {{"/?"}, {{"LANG", "ja_JP.UTF-8"}, {"LC_MESSAGES", "C.UTF-8"}}, english},  // a UTF-8 console, English user
    };
    for (const auto& c : cases) {
        const RunResult result = run(c.arguments, c.env);
        EXPECT_EQ(result.out, c.out) << "case " << &c - cases;
        EXPECT_EQ(result.err, "") << "case " << &c - cases;
        EXPECT_EQ(result.exit_code, 0) << "case " << &c - cases;
    }
}

// The Japanese texts are kept once: under UTF-8 they are the CP932 ones, converted.
TEST_F(CommandLine, japanese_under_utf8_is_the_cp932_text_converted_line_by_line)
{
    const auto lines = [](const std::string& text) {
        std::vector<std::string> result;
        for (size_t start = 0; start < text.size();) {
            const size_t end = text.find('\n', start);
            result.push_back(text.substr(start, end == std::string::npos ? end : end - start + 1));
            start = end == std::string::npos ? text.size() : end + 1;
        }
        return result;
    };
    for (const std::string argument : {"/?", "/Z"}) {
        const RunResult utf8 = run({argument}, JAPANESE_UTF8);
        const std::vector<std::string> words = orva_words({"-c", "\"$0\" \"$@\" | iconv -f CP932 -t UTF-8"}, {argument});
        const RunResult converted = run_program("/bin/sh", words, tree.path(), SHIFT_JIS);
        ASSERT_EQ(converted.exit_code, 0) << converted.err;
        const std::vector<std::string> expected = lines(converted.out), got = lines(utf8.out);
        ASSERT_GT(expected.size(), argument == "/?" ? 50u : 1u);
        EXPECT_EQ(got.size(), expected.size()) << argument;
        for (size_t i = 0; i < expected.size() && i < got.size(); i++)
            EXPECT_EQ(got[i], expected[i]) << argument << " line " << i + 1;
        EXPECT_EQ(utf8.exit_code, argument == "/?" ? 0 : 255);
    }
}

// The two words every Linux tool answers; any other argument that begins with '-' is a path,
// as those two are on Windows.
TEST_F(CommandLine, version_prints_the_help_s_first_line_and_only_the_exact_words_are_taken)
{
    if (differs(HELP_WORDS_ARE_PATHS)) {
        for (const std::string word : {"--help", "--version"}) {
            tree.file(word, "1");
            const RunResult result = run({word});
            EXPECT_NE(result.out.find(" " + word + "\n"), std::string::npos) << result.out;
            EXPECT_EQ(result.exit_code, 1) << word;
        }
        return;
    }
    tree.file("--Version", "12");
    tree.file("-x", "123");
    const std::string english = expected_file("help_english.txt");
    const std::string english_line = english.substr(0, english.find('\n') + 1);
    const std::string japanese_line = "階層ディレクトリファイル操作プログラム  Version 6.01\n";
    const struct { std::vector<std::string> arguments; Environment env; std::string out; int exit_code; } cases[] = {
        {{"--help"}, {}, english, 0},
        {{"--help"}, SHIFT_JIS, to_cp932(expected_file("help_japanese_utf8.txt")), 0},
        {{"/Z", "--help"}, {}, refused("/Z") + english, 0},
        {{"--version"}, {}, english_line, 0},
        {{"--version"}, SHIFT_JIS, to_cp932(japanese_line), 0},
        {{"--version"}, JAPANESE_UTF8, japanese_line, 0},
        {{"/E", "--version", "x"}, JAPANESE_UTF8, english_line, 0},
        {{"--version", "/Z"}, {}, refused("/Z") + english_line, 0},  // as /? does
        {{"--version", "/?"}, {}, english, 0},
        {{"--Version"}, {}, "", 1},  // a file's listing line
        {{"-x"}, {}, "", 1},
    };
    for (const auto& c : cases) {
        const RunResult result = run(c.arguments, c.env);
        if (c.out.empty())
            EXPECT_NE(result.out.find(" " + c.arguments[0] + "\n"), std::string::npos) << result.out;
        else
            EXPECT_EQ(result.out, c.out) << "case " << &c - cases;
        EXPECT_EQ(result.exit_code, c.exit_code) << "case " << &c - cases;
    }
}

TEST_F(CommandLine, every_refused_argument_prints_the_error_pair_in_the_language_of_the_moment_and_exits_255)
{
    tree.file("a.txt", "x");
    const std::string too_long(1023, 'a');
    const std::string dots_too_long = std::string(1019, 'a') + "\\..";
    const struct { std::vector<std::string> arguments; Environment env; std::string out; } cases[] = {
        {{"/Z", "a.txt"}, {}, refused("/Z")},
        {{"/L1x", "/Y4", "/CZ", "/513"}, {}, refused("/L1x") + refused("/CZ") + refused("/513")},
        {{"/Z", "/E", "/Q1x"}, SHIFT_JIS,
         messages_in(to_cp932("パラメータが不正です. [/Z]\n/?オプションで使用方法を表示します.\n"), refused("/Z")) +
             refused("/Q1x")},
        {{"/W='a,b'Z"}, {}, refused("/W='a,b")},    // cut at its quoted value
        {{"/?1", "/Z"}, {}, refused("/Z")},         // no parameter line
        {{"/ST", "/Z"}, {}, refused("/Z")},         // no size total
        {{too_long}, {}, refused(too_long)},        // a path too long for its buffer
        {{dots_too_long}, {}, refused(dots_too_long)},  // read as "..\", one byte more
    };
    for (const auto& c : cases) {
        const RunResult result = run(c.arguments, c.env);
        EXPECT_EQ(result.out, c.out) << "case " << &c - cases;
        EXPECT_EQ(result.err, "") << "case " << &c - cases;
        EXPECT_EQ(result.exit_code, 255) << "case " << &c - cases;
    }
    EXPECT_EQ(run({std::string(1022, 'a')}).exit_code, 0) << "the longest path that fits";
    // An option letter before the byte: Wine under a Shift-JIS host locale turns a lone
    // 0x81 into '?', which must not make the argument the help.
    EXPECT_EQ(run({"/C\x81", "/W=\x81"}, SHIFT_JIS).exit_code, 255) << "bytes invalid in the code page";
}

TEST_F(CommandLine, parameter_line_goes_to_standard_error_in_windows_form_and_the_run_goes_on)
{
    tree.file("x", "12345");
    const RunResult result = run({"/?1", "x"});
    EXPECT_EQ(result.err, "Parameters: [/?1] [x]\n");
    EXPECT_NE(result.out.find(" 5 "), std::string::npos) << result.out;
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(run({"/?1", "src/sub", "Z:/tmp"}).err, differs(SLASH_KEPT_IN_ARGUMENTS)
                                                         ? "Parameters: [/?1] [src/sub] [Z:/tmp]\n"
                                                         : "Parameters: [/?1] [src\\sub] [Z:\\tmp]\n");
}

TEST_F(CommandLine, orvadebug_shows_both_paths_before_and_after_quote_removal_and_ignores_a_third)
{
    // Wine clears the top bit of each byte that is not UTF-8.
    const std::string invalid = differs(ARGUMENTS_READ_AS_UTF8) ? "\x7f~\x01" : "\xff\xfe\x81";
    const struct { std::vector<std::string> arguments; Environment env; std::string err; } cases[] = {
        {{"a\"b\"c", "d\"e"}, {{"orvadebug", "1"}}, "src:[a\"b\"c],dst:[d\"e]\nsrc:[abc],dst:[de]\n"},
        {{}, {{"orvadebug", "yes"}}, "src:[],dst:[]\nsrc:[],dst:[]\n"},  // nothing given: nothing done, exit 0
        {{"a", "b", "c"}, {{"orvadebug", "1"}}, "src:[a],dst:[b]\nsrc:[a],dst:[b]\n"},
        // Bytes invalid in the code page are kept in paths.
        {{"\xff\xfe\x81"}, {{"LANG", "en_US.UTF-8"}, {"orvadebug", "1"}},
         "src:[" + invalid + "],dst:[]\nsrc:[" + invalid + "],dst:[]\n"},
    };
    for (const auto& c : cases) {
        const RunResult result = run(c.arguments, c.env);
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.exit_code, 0);
    }
}

TEST_F(CommandLine, very_long_option_arguments_are_refused_or_taken_without_overrun)
{
    const size_t length = differs(COMMAND_LINE_LIMIT) ? 16000 : 100000;
    EXPECT_EQ(run({"/" + std::string(length, 'L')}).exit_code, 255);
    const std::string list = "/W='" + std::string(length, 'x') + "'";
    EXPECT_EQ(run({list, list}).exit_code, 0);
    EXPECT_EQ(run({"/" + std::string(5000, '9')}).exit_code, 255);
}

TEST_F(CommandLine, size_total_only_prints_the_total_line_once)
{
    EXPECT_EQ(run({"/ST4"}).out, std::string(10, ' ') + "0 clusters/ 4Kbytes \n");
    EXPECT_EQ(run({"/ST0.5"}).out, std::string(10, ' ') + "0 clusters/.5Kbytes \n");
    EXPECT_EQ(run({"/ST32"}).out, std::string(10, ' ') + "0 clusters/32Kbytes \n");
    EXPECT_EQ(run({"/ST"}).out, std::string(14, ' ') + "0 bytes \n");
}

// The result lines are lost on a full disk: the run must not report files operated.
// A short run fails when its last buffer is written at the end, a long one on the way.
TEST_F(CommandLine, output_that_cannot_be_written_fails_the_run_with_a_message)
{
    for (int i = 0; i < 2000; i++)
        tree.file("many/f" + std::to_string(i));
    const auto to_full_disk = [](const std::string& source) {
        return orva_words({"-c", "exec \"$0\" \"$@\" >/dev/full"}, {source});
    };
    for (const char* source : {"many\\f1", "many"}) {
        const RunResult result = run_program("/bin/sh", to_full_disk(source), tree.path());
        EXPECT_EQ(result.err, "Cannot write to standard output!\n") << source;
        EXPECT_EQ(result.exit_code, 255) << source;
    }
    const RunResult japanese = run_program("/bin/sh", to_full_disk("many"), tree.path(), SHIFT_JIS);
    EXPECT_EQ(japanese.err, messages_in(to_cp932("標準出力に書き込めません!\n"), "Cannot write to standard output!\n"));
}

// A host path typed where an option begins ("/tmp/x") is refused like any option, with
// the form that names it as a path; the form given is one the program takes.
TEST(LinuxHostPaths, a_refused_argument_naming_a_host_entry_shows_its_form_with_drive_z)
{
    TempTree tree;
    tree.file("a.txt", "x");
    tree.file("back\\slash", "x");
    const std::string root = tree.path();
    const auto refused_with = [](const std::string& argument, const std::string& hint) {
        return "Parameter error. [" + argument + "]\n" + hint + "Use /? option to show usage.\n";
    };
    const struct { std::string argument; Environment env; std::string out; } cases[] = {
        {root, {}, refused_with(root, "Use [Z:" + root + "] to give it as a path.\n")},
        {root + "/a.txt", {}, refused_with(root + "/a.txt", "Use [Z:" + root + "/a.txt] to give it as a path.\n")},
        {root + "/missing", {}, refused(root + "/missing")},
        {root + "/back\\slash", {}, refused(root + "/back\\slash")},  // a name the C locale cannot show
        {root + "/back\\slash", {{"LANG", "C.UTF-8"}},
         refused_with(root + "/back\\slash", "Use [Z:" + root + "/back\xEF\x81\x9Cslash] to give it as a path.\n")},
        {root, JAPANESE_UTF8, "パラメータが不正です. [" + root + "]\n[Z:" + root +
                                  "]でパスとして指定します.\n/?オプションで使用方法を表示します.\n"},
    };
    for (const auto& c : cases) {
        const RunResult result = run_orva({"/CI", "it", c.argument}, root, c.env);
        EXPECT_EQ(result.out, c.out) << "case " << &c - cases;
        EXPECT_EQ(result.exit_code, 255) << "case " << &c - cases;
    }
    const Environment utf8 = {{"LANG", "C.UTF-8"}};
    EXPECT_EQ(run_orva({"/L1", "Z:" + root + "/back\xEF\x81\x9Cslash"}, root, utf8).exit_code, 1);
    EXPECT_EQ(run_orva({"/L1", "Z:" + root + "/a.txt"}, root).exit_code, 1);
}
