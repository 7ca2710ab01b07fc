// Cutting option arguments: words, quoted values and quote removal.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "driver/tokenizer.h"
#include "platform/posix/code_page.h"

// Records the text each option starts with, consuming one letter.
static std::vector<std::string> seen;
static int record_option(char** cursor)
{
    (*cursor)++;
    if (**cursor == '\0')
        return 0;
    seen.push_back(std::string(1, **cursor));
    (*cursor)++;
    return 1;
}

static int scan(std::string text)
{
    seen.clear();
    return scan_switch_argument(text.data(), record_option);
}

TEST(ScanSwitchArgument, options_may_be_chained_or_separated_by_blanks)
{
    EXPECT_EQ(scan("/a/b /c\t/d"), 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST(ScanSwitchArgument, empty_text_is_accepted)
{
    EXPECT_EQ(scan(""), 1);
    EXPECT_TRUE(seen.empty());
}

TEST(ScanSwitchArgument, text_left_after_an_option_refuses_the_argument)
{
    EXPECT_EQ(scan("/ab"), 0);
}

TEST(ScanSwitchArgument, words_are_skipped_and_a_switch_ending_a_word_starts_an_option)
{
    EXPECT_EQ(scan("/a word/b"), 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));
}

TEST(ScanSwitchArgument, quoted_stretch_hides_blanks_and_switches)
{
    EXPECT_EQ(scan("/a \"x /y z\"w /b"), 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));
}

TEST(ScanSwitchArgument, doubled_quote_inside_a_stretch_does_not_close_it)
{
    EXPECT_EQ(scan("/a \"x\"\" /y\" /b"), 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));
}

TEST(ScanSwitchArgument, unclosed_quote_in_a_word_refuses_the_argument)
{
    EXPECT_EQ(scan("/a \"never closed"), 0);
}

TEST(ScanSwitchArgument, handler_refusal_refuses_the_argument)
{
    EXPECT_EQ(scan("/"), 0);
    EXPECT_EQ(scan("/a/"), 0);
}

static std::string quoted_value(std::string text, std::string* rest = nullptr)
{
    static std::string storage;
    storage = text;
    char* cursor = storage.data();
    const char* value = read_quoted_value(&cursor);
    if (rest != nullptr)
        *rest = cursor;
    return value == nullptr ? "<null>" : value;
}

TEST(ReadQuotedValue, any_first_character_is_the_quote)
{
    std::string rest;
    EXPECT_EQ(quoted_value("='a,b'/L1", &rest), "a,b");
    EXPECT_EQ(rest, "/L1");
    EXPECT_EQ(quoted_value("=|a,b|"), "a,b");
    EXPECT_EQ(quoted_value(":|a,b|"), "a,b");
    EXPECT_EQ(quoted_value("=abc"), "bc");
}

TEST(ReadQuotedValue, doubled_quote_gives_one_and_the_search_goes_on)
{
    EXPECT_EQ(quoted_value("='a''b'"), "a'b");
    EXPECT_EQ(quoted_value("='a''''b'"), "a''b");
    EXPECT_EQ(quoted_value("=''''"), "'");
}

TEST(ReadQuotedValue, unclosed_value_runs_to_the_end)
{
    std::string rest = "x";
    EXPECT_EQ(quoted_value("='abc", &rest), "abc");
    EXPECT_EQ(rest, "");
}

TEST(ReadQuotedValue, missing_equals_or_quote_is_refused)
{
    EXPECT_EQ(quoted_value(""), "<null>");
    EXPECT_EQ(quoted_value("'a'"), "<null>");
    EXPECT_EQ(quoted_value("="), "<null>");
    EXPECT_EQ(quoted_value(":"), "<null>");
}

TEST(ReadQuotedValue, trail_byte_equal_to_the_quote_is_not_a_quote_under_cp932)
{
    setenv("LC_ALL", "ja_JP.SJIS", 1);
    reload_code_page();
    // 0x83 0x5C is one character whose second byte is a backslash.
    EXPECT_EQ(quoted_value("=\\\x83\\x\\"), "\x83\\x");
    // A double-byte quote character works like any other.
    EXPECT_EQ(quoted_value("=\x83\\ab\x83\\"), "ab");
    setenv("LC_ALL", "C", 1);
    reload_code_page();
}

static std::string without_quotes(std::string text)
{
    remove_quotes(text.data());
    return text.c_str();
}

TEST(RemoveQuotes, every_double_quote_goes)
{
    EXPECT_EQ(without_quotes("\"a b\""), "a b");
    EXPECT_EQ(without_quotes("a\"\"\"b"), "ab");
    EXPECT_EQ(without_quotes("\""), "");
    EXPECT_EQ(without_quotes("plain"), "plain");
    remove_quotes(nullptr);
}
