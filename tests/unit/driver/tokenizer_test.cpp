// Cutting option arguments: words and quoted values.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "driver/tokenizer.h"
#include "platform/posix/paths/code_page.h"

// Records the letter each option starts with, consuming it.
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
        {"/a word/b", 1, {"a", "b"}},             // a switch ending a word starts an option
        {"/a \"x /y z\"w /b", 1, {"a", "b"}},     // quotes hide blanks and switches
        {"/a \"x\"\" /y\" /b", 1, {"a", "b"}},    // a doubled quote does not close the stretch
        {"/ab", 0, {}},                           // text left after an option
        {"/a \"never closed", 0, {}},
        {"/a/", 0, {}},                           // the handler refuses
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

// The first character is the quote; a doubled quote stands for one, an unclosed value
// runs to the end. Under CP932 a trail byte equal to the quote is no quote: 0x83 0x5C is
// one character whose second byte is a backslash.
TEST(ReadQuotedValue, first_character_is_the_quote_doubled_gives_one_and_unclosed_runs_to_the_end)
{
    const struct {
        const char* locale;
        const char* text;
        const char* value;  // nullptr: refused
        const char* rest;
    } cases[] = {
        {"C", "='a,b'/L1", "a,b", "/L1"}, {"C", ":|a,b|", "a,b", ""}, {"C", "=abc", "bc", ""},
        {"C", "='a''b'", "a'b", ""},      {"C", "='a''''b'", "a''b", ""}, {"C", "=''''", "'", ""},
        {"C", "='abc", "abc", ""},        {"C", "'a'", nullptr, ""},     {"C", "=", nullptr, ""},
        {"ja_JP.SJIS", "=\\\x83\\x\\", "\x83\\x", ""}, {"ja_JP.SJIS", "=\x83\\ab\x83\\", "ab", ""},
    };
    for (const auto& c : cases) {
        setenv("LC_ALL", c.locale, 1);
        reload_code_page();
        std::string text = c.text;
        char* cursor = text.data();
        const char* value = read_quoted_value(&cursor);
        EXPECT_STREQ(value ? value : "(refused)", c.value ? c.value : "(refused)") << c.text;
        if (value != nullptr) {
            EXPECT_STREQ(cursor, c.rest) << c.text;
        }
    }
    setenv("LC_ALL", "C", 1);
    reload_code_page();
}
