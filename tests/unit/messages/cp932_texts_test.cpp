// The Japanese texts are CP932 bytes, whatever the source file's encoding, and which
// column of the texts a run shows.
#include <gtest/gtest.h>

#include <string>

#include "driver/driver.h"
#include "messages/messages.h"

TEST(JapaneseTexts, are_shift_jis_and_keep_a_trail_byte_0x5c)
{
    // パラメータが不正です. [%s]
    EXPECT_STREQ(MSG_PARAMETER_ERROR.japanese,
                 "\x83\x70\x83\x89\x83\x81\x81\x5B\x83\x5E\x82\xAA\x95\x73\x90\xB3\x82\xC5\x82\xB7. [%s]\n");
    // ソ is 0x83 0x5C.
    EXPECT_EQ(std::string(MSG_SAME_DIRECTORY.japanese).substr(0, 2), "\x83\x5C");
}

// Code pages as Windows consoles report them (0 without a console, as under Wine with
// no terminal) and as the Linux layer derives them from the locale.
TEST(MessageChoice, language_follows_the_console_code_page_and_for_utf8_the_user_language)
{
    const LANGID japanese = MAKELANGID(LANG_JAPANESE, 0x01);
    const LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const struct {
        UINT code_page;
        LANGID user_language;
        int english;
    } cases[] = {
        {932, english, 0}, {CP_UTF8, japanese, 0}, {CP_UTF8, english, 1}, {0, japanese, 1}, {1252, japanese, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(english_for_console(c.code_page, c.user_language), c.english)
            << c.code_page << " " << c.user_language;
}

TEST(MessageChoice, english_flag_selects_the_column_and_a_utf8_console_the_utf8_form)
{
    reset_run_settings();
    settings.english = 0;
    EXPECT_STREQ(text(MSG_USE_HELP_OPTION), MSG_USE_HELP_OPTION.japanese);
    settings.utf8_console = 1;
    EXPECT_STREQ(text(MSG_USE_HELP_OPTION), "/?オプションで使用方法を表示します.\n");
    settings.english = 1;
    EXPECT_STREQ(text(MSG_USE_HELP_OPTION), "Use /? option to show usage.\n");
    reset_run_settings();
}
