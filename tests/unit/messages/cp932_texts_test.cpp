// The Japanese texts are CP932 bytes, whatever the source file's encoding, with a UTF-8 twin.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "driver/driver.h"
#include "messages/messages.h"

TEST(JapaneseTexts, full_width_tilde_is_0x81_0x60)
{
    bool found = false;
    for (int i = 0; i < HELP_JAPANESE_COUNT; i++)
        found = found || strstr(HELP_JAPANESE[i].cp932, "( n=0\x81\x60" "130 )") != nullptr;
    EXPECT_TRUE(found);
}

TEST(JapaneseTexts, parameter_error_is_shift_jis)
{
    // パラメータが不正です. [%s]
    EXPECT_STREQ(MSG_PARAMETER_ERROR.japanese,
                 "\x83\x70\x83\x89\x83\x81\x81\x5B\x83\x5E\x82\xAA\x95\x73\x90\xB3\x82\xC5\x82\xB7. [%s]\n");
}

TEST(JapaneseTexts, trail_byte_0x5c_survives_and_a_literal_backslash_stays_single)
{
    // ソ is 0x83 0x5C; the help's "\を付加" holds one real backslash.
    EXPECT_EQ(std::string(MSG_SAME_DIRECTORY.japanese).substr(0, 2), "\x83\x5C");
    EXPECT_NE(std::string(HELP_JAPANESE[7].cp932).find("\x96\xBC\x82\xC5\\\x82\xF0"), std::string::npos);
}

TEST(JapaneseTexts, english_texts_are_plain_ascii)
{
    for (int i = 0; i < HELP_ENGLISH_COUNT; i++) {
        for (const char* p = HELP_ENGLISH[i]; *p != '\0'; p++)
            EXPECT_LT(static_cast<unsigned char>(*p), 0x80) << i;
    }
}

// Code pages as Windows consoles report them (0 without a console, as under Wine with
// no terminal) and as the Linux layer derives them from the locale.
TEST(MessageChoice, language_follows_the_console_code_page_and_for_utf8_the_user_language)
{
    const LANGID japanese = MAKELANGID(LANG_JAPANESE, 0x01);
    const LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    struct Case {
        UINT code_page;
        LANGID user_language;
        int english;
    } cases[] = {
        {932, japanese, 0}, {932, english, 0}, {CP_UTF8, japanese, 0}, {CP_UTF8, english, 1},
        {0, japanese, 1},   {437, japanese, 1}, {1252, japanese, 1},   {1252, english, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(english_for_console(c.code_page, c.user_language), c.english) << c.code_page << " " << c.user_language;
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
