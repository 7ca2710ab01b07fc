// The command line end to end: help, parameter errors, /?1, orvadebug and exit codes.
#include <gtest/gtest.h>

#include "e2e/run_program.h"

static const std::string PARAMETER_ERROR_TAIL = "Use /? option to show usage.\n";

TEST(CommandLine, help_prints_english_text_exactly)
{
    TempTree tree;
    const RunResult result = run_orva({"/?"}, tree.path());
    EXPECT_EQ(result.out, expected_file("help_english.txt"));
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exit_code, 0);
}

TEST(CommandLine, help_with_e_is_english_on_a_japanese_console)
{
    TempTree tree;
    const RunResult result = run_orva({"/?/E"}, tree.path(), {{"LANG", "ja_JP.SJIS"}});
    EXPECT_EQ(result.out, expected_file("help_english.txt"));
    EXPECT_EQ(result.exit_code, 0);
}

TEST(CommandLine, help_is_japanese_cp932_under_a_shift_jis_locale)
{
    TempTree tree;
    const RunResult result = run_orva({"/?"}, tree.path(), {{"LANG", "ja_JP.SJIS"}});
    EXPECT_EQ(result.out, to_cp932(expected_file("help_japanese_utf8.txt")));
    EXPECT_NE(result.out.find("\x81\x60"), std::string::npos) << "the full-width tilde of n=0～130";
    EXPECT_EQ(result.exit_code, 0);
}

TEST(CommandLine, help_language_follows_lc_all_before_lang)
{
    TempTree tree;
    const RunResult english = run_orva({"/?"}, tree.path(), {{"LANG", "ja_JP.SJIS"}, {"LC_ALL", "en_US.UTF-8"}});
    EXPECT_EQ(english.out, expected_file("help_english.txt"));
    const RunResult japanese = run_orva({"/?"}, tree.path(), {{"LC_CTYPE", "ja_JP.cp932"}});
    EXPECT_EQ(japanese.out, to_cp932(expected_file("help_japanese_utf8.txt")));
}

TEST(CommandLine, unknown_option_gives_parameter_error_pair_and_255)
{
    TempTree tree;
    tree.file("a.txt", "x");
    const RunResult result = run_orva({"/Z", "a.txt"}, tree.path());
    EXPECT_EQ(result.out, "Parameter error. [/Z]\n" + PARAMETER_ERROR_TAIL);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.exit_code, 255);
}

TEST(CommandLine, every_refused_argument_is_reported)
{
    TempTree tree;
    const RunResult result = run_orva({"/L1x", "/Y4", "/CZ", "/513"}, tree.path());
    EXPECT_EQ(result.out, "Parameter error. [/L1x]\n" + PARAMETER_ERROR_TAIL + "Parameter error. [/CZ]\n" +
                              PARAMETER_ERROR_TAIL + "Parameter error. [/513]\n" + PARAMETER_ERROR_TAIL);
    EXPECT_EQ(result.exit_code, 255);
}

TEST(CommandLine, japanese_parameter_error_until_e_switches_to_english)
{
    TempTree tree;
    const RunResult result = run_orva({"/Z", "/E", "/Q1x"}, tree.path(), {{"LANG", "ja_JP.SJIS"}});
    EXPECT_EQ(result.out, to_cp932("パラメータが不正です. [/Z]\n/?オプションで使用方法を表示します.\n") +
                              "Parameter error. [/Q1x]\n" + PARAMETER_ERROR_TAIL);
    EXPECT_EQ(result.exit_code, 255);
}

TEST(CommandLine, refused_option_then_help_shows_both_and_exits_0)
{
    TempTree tree;
    const RunResult result = run_orva({"/Z", "/?"}, tree.path());
    EXPECT_EQ(result.out, "Parameter error. [/Z]\n" + PARAMETER_ERROR_TAIL + expected_file("help_english.txt"));
    EXPECT_EQ(result.exit_code, 0);
}

TEST(CommandLine, parameter_error_shows_argument_cut_at_its_quoted_value)
{
    TempTree tree;
    const RunResult result = run_orva({"/W='a,b'Z"}, tree.path());
    EXPECT_EQ(result.out, "Parameter error. [/W='a,b]\n" + PARAMETER_ERROR_TAIL);
    EXPECT_EQ(result.exit_code, 255);
}

TEST(CommandLine, parameter_line_goes_to_standard_error_and_the_run_goes_on)
{
    TempTree tree;
    tree.file("x", "12345");
    const RunResult result = run_orva({"/?1", "x"}, tree.path());
    EXPECT_EQ(result.err, "Parameters: [/?1] [x]\n");
    EXPECT_NE(result.out.find(" 5 "), std::string::npos) << result.out;
    EXPECT_EQ(result.exit_code, 1);
}

TEST(CommandLine, parameter_line_shows_host_paths_turned_into_windows_paths)
{
    TempTree tree;
    const RunResult result = run_orva({"/?1", "src/sub", "Z:/tmp"}, tree.path());
    EXPECT_EQ(result.err, "Parameters: [/?1] [src\\sub] [Z:\\tmp]\n");
}

TEST(CommandLine, parameter_line_is_not_printed_when_an_option_is_refused)
{
    TempTree tree;
    const RunResult result = run_orva({"/?1", "/Z"}, tree.path());
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "Parameter error. [/Z]\n" + PARAMETER_ERROR_TAIL);
    EXPECT_EQ(result.exit_code, 255);
}

TEST(CommandLine, help_bit_and_parameter_bit_together_show_only_the_help)
{
    TempTree tree;
    const RunResult result = run_orva({"/?80000001"}, tree.path());
    EXPECT_EQ(result.out, expected_file("help_english.txt"));
    EXPECT_EQ(result.err, "");
}

TEST(CommandLine, orvadebug_shows_paths_before_and_after_quote_removal)
{
    TempTree tree;
    const RunResult result = run_orva({"a\"b\"c", "d\"e"}, tree.path(), {{"orvadebug", "1"}});
    EXPECT_EQ(result.err, "src:[a\"b\"c],dst:[d\"e]\nsrc:[abc],dst:[de]\n");
    EXPECT_EQ(result.exit_code, 0);
}

TEST(CommandLine, orvadebug_shows_absent_paths_as_empty)
{
    TempTree tree;
    const RunResult result = run_orva({}, tree.path(), {{"orvadebug", "yes"}});
    EXPECT_EQ(result.err, "src:[],dst:[]\nsrc:[],dst:[]\n");
}

TEST(CommandLine, third_path_is_ignored_silently)
{
    TempTree tree;
    const RunResult result = run_orva({"a", "b", "c"}, tree.path(), {{"orvadebug", "1"}});
    EXPECT_EQ(result.err, "src:[a],dst:[b]\nsrc:[a],dst:[b]\n");
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.exit_code, 0);
}

TEST(CommandLine, path_too_long_for_its_buffer_is_a_parameter_error)
{
    TempTree tree;
    const std::string fits(1022, 'a');
    const std::string too_long(1023, 'a');
    EXPECT_EQ(run_orva({fits}, tree.path()).exit_code, 0);
    const RunResult result = run_orva({too_long}, tree.path());
    EXPECT_EQ(result.out, "Parameter error. [" + too_long + "]\n" + PARAMETER_ERROR_TAIL);
    EXPECT_EQ(result.exit_code, 255);
}

TEST(CommandLine, very_long_option_arguments_are_refused_or_taken_without_overrun)
{
    TempTree tree;
    const std::string letters(100000, 'L');
    EXPECT_EQ(run_orva({"/" + letters}, tree.path()).exit_code, 255);
    const std::string list = "/W='" + std::string(100000, 'x') + "'";
    EXPECT_EQ(run_orva({list, list}, tree.path()).exit_code, 0);
    const std::string digits = "/" + std::string(5000, '9');
    EXPECT_EQ(run_orva({digits}, tree.path()).exit_code, 255);
}

TEST(CommandLine, bytes_invalid_in_the_code_page_are_refused_as_options_and_kept_as_paths)
{
    TempTree tree;
    const RunResult option = run_orva({"/\x81", "/W=\x81"}, tree.path(), {{"LANG", "ja_JP.SJIS"}});
    EXPECT_EQ(option.exit_code, 255);
    const RunResult path = run_orva({"\xff\xfe\x81"}, tree.path(), {{"LANG", "en_US.UTF-8"}, {"orvadebug", "1"}});
    EXPECT_EQ(path.err, "src:[\xff\xfe\x81],dst:[]\nsrc:[\xff\xfe\x81],dst:[]\n");
    EXPECT_EQ(path.exit_code, 0);
}

TEST(CommandLine, nothing_given_exits_with_zero_files_operated)
{
    TempTree tree;
    const RunResult result = run_orva({}, tree.path());
    EXPECT_EQ(result.exit_code, 0);
}

TEST(CommandLine, size_total_only_prints_the_total_line_once)
{
    TempTree tree;
    EXPECT_EQ(run_orva({"/ST4"}, tree.path()).out, std::string(10, ' ') + "0 clusters/ 4Kbytes \n");
    EXPECT_EQ(run_orva({"/ST0.5"}, tree.path()).out, std::string(10, ' ') + "0 clusters/.5Kbytes \n");
    EXPECT_EQ(run_orva({"/ST32"}, tree.path()).out, std::string(10, ' ') + "0 clusters/32Kbytes \n");
    EXPECT_EQ(run_orva({"/ST"}, tree.path()).out, std::string(14, ' ') + "0 bytes \n");
}

TEST(CommandLine, size_total_is_not_printed_after_a_refused_option)
{
    TempTree tree;
    const RunResult result = run_orva({"/ST", "/Z"}, tree.path());
    EXPECT_EQ(result.out, "Parameter error. [/Z]\n" + PARAMETER_ERROR_TAIL);
    EXPECT_EQ(result.exit_code, 255);
}
