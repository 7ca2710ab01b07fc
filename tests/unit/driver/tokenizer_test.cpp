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

TEST(ScanSwitchArgument, splits_options_skips_words_and_quoted_stretches)
{
    using Seen = std::vector<std::string>;
    const struct { const char* text; int accepted; Seen options; } cases[] = {
        {"/a/b /c\t/d", 1, {"a", "b", "c", "d"}},  // chained or separated by blanks
        {"", 1, {}},
        {"/a word/b", 1, {"a", "b"}},             // a switch ending a word starts an option
        {"/a \"x /y z\"w /b", 1, {"a", "b"}},     // quotes hide blanks and switches
        {"/a \"x\"\" /y\" /b", 1, {"a", "b"}},    // a doubled quote does not close the stretch
        {"/ab", 0, {}},                           // text left after an option
        {"/a \"never closed", 0, {}},
        {"/", 0, {}},                             // the handler refuses
        {"/a/", 0, {}},
    };
    for (const auto& c : cases) {
        seen.clear();
        std::string text = c.text;
        EXPECT_EQ(scan_switch_argument(text.data(), record_option), c.accepted) << c.text;
        if (c.accepted) {
            EXPECT_EQ(seen, c.options) << c.text;
        }
    }
}

TEST(ReadQuotedValue, first_character_is_the_quote_doubled_gives_one_and_unclosed_runs_to_the_end)
{
    const struct {
        const char* text;
        const char* value;  // nullptr: refused
        const char* rest;
    } cases[] = {
        {"='a,b'/L1", "a,b", "/L1"}, {"=|a,b|", "a,b", ""},   {":|a,b|", "a,b", ""},  {"=abc", "bc", ""},
        {"='a''b'", "a'b", ""},      {"='a''''b'", "a''b", ""}, {"=''''", "'", ""},    {"='abc", "abc", ""},
        {"", nullptr, ""},           {"'a'", nullptr, ""},     {"=", nullptr, ""},     {":", nullptr, ""},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        char* cursor = text.data();
        const char* value = read_quoted_value(&cursor);
        if (c.value == nullptr) {
            EXPECT_EQ(value, nullptr) << c.text;
            continue;
        }
        ASSERT_NE(value, nullptr) << c.text;
        EXPECT_STREQ(value, c.value) << c.text;
        EXPECT_STREQ(cursor, c.rest) << c.text;
    }
}

TEST(ReadQuotedValue, trail_byte_equal_to_the_quote_is_not_a_quote_under_cp932)
{
    setenv("LC_ALL", "ja_JP.SJIS", 1);
    reload_code_page();
    // 0x83 0x5C is one character whose second byte is a backslash; as the quote it works like any other.
    const std::pair<const char*, const char*> cases[] = {{"=\\\x83\\x\\", "\x83\\x"}, {"=\x83\\ab\x83\\", "ab"}};
    for (const auto& [text, value] : cases) {
        std::string copy = text;
        char* cursor = copy.data();
        EXPECT_STREQ(read_quoted_value(&cursor), value);
    }
    setenv("LC_ALL", "C", 1);
    reload_code_page();
}

TEST(RemoveQuotes, every_double_quote_goes)
{
    const std::pair<const char*, const char*> cases[] = {
        {"\"a b\"", "a b"}, {"a\"\"\"b", "ab"}, {"\"", ""}, {"plain", "plain"}};
    for (const auto& [text, expected] : cases) {
        std::string copy = text;
        remove_quotes(copy.data());
        EXPECT_STREQ(copy.c_str(), expected);
    }
    remove_quotes(nullptr);
}
