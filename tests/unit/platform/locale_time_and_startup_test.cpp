// Code pages and the user's language from the locale variables, character stepping, time
// conversions and the start-up conventions of the command line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/code_page.h"

class Locale : public testing::Test {
protected:
    void TearDown() override { use("LC_ALL", "C"); }
    static void use(const char* name, const char* value)
    {
        unsetenv("LC_ALL");
        unsetenv("LC_CTYPE");
        unsetenv("LC_MESSAGES");
        unsetenv("LANG");
        setenv(name, value, 1);
        reload_code_page();
    }
};

TEST_F(Locale, charset_names_choose_the_code_page)
{
    const struct {
        const char* locale;
        UINT code_page;
    } cases[] = {{"ja_JP.SJIS", 932},  {"ja_JP.sjis", 932},      {"ja_JP.Shift_JIS", 932}, {"ja_JP.CP932", 932},
                 {"ja_JP.932", 932},   {"ja_JP.SJIS@euro", 932}, {"en_US.UTF-8", CP_UTF8}, {"C.utf8", CP_UTF8},
                 {"ja_JP", 1252},      {"C", 1252},              {"ja_JP.EUC-JP", 1252}};
    for (const auto& c : cases) {
        use("LANG", c.locale);
        EXPECT_EQ(GetACP(), c.code_page) << c.locale;
        EXPECT_EQ(GetConsoleOutputCP(), c.code_page) << c.locale;
    }
}

TEST_F(Locale, lc_all_then_lc_ctype_then_lang_and_empty_ones_do_not_count)
{
    use("LANG", "ja_JP.SJIS");
    setenv("LC_CTYPE", "en_US.UTF-8", 1);
    reload_code_page();
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
    setenv("LC_ALL", "", 1);
    reload_code_page();
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
    setenv("LC_ALL", "C", 1);
    reload_code_page();
    EXPECT_EQ(GetACP(), 1252u);
}

TEST_F(Locale, a_language_part_of_ja_makes_the_user_japanese_and_lc_ctype_does_not_count)
{
    const LANGID japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN);
    const LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const struct {
        const char* name;
        const char* value;
        const char* lang;
        LANGID language;
    } cases[] = {
        {"LANG", "ja_JP.UTF-8", nullptr, japanese},  {"LANG", "ja_JP.utf8", nullptr, japanese},
        {"LANG", "ja.UTF-8", nullptr, japanese},     {"LANG", "ja", nullptr, japanese},
        {"LANG", "ja@cjknarrow", nullptr, japanese}, {"LANG", "ja_JP.SJIS", nullptr, japanese},
        {"LANG", "jam_JM.UTF-8", nullptr, english},  {"LANG", "en_US.UTF-8", nullptr, english},
        {"LANG", "C.UTF-8", nullptr, english},       {"LANG", "", nullptr, english},
        {"LC_ALL", "C", "ja_JP.UTF-8", english},     {"LC_MESSAGES", "ja_JP.UTF-8", "C", japanese},
        {"LC_MESSAGES", "C", "ja_JP.UTF-8", english}, {"LC_ALL", "", "ja_JP.UTF-8", japanese},
        {"LC_CTYPE", "ja_JP.UTF-8", "C", english},
    };
    for (const auto& c : cases) {
        use(c.name, c.value);
        if (c.lang != nullptr)
            setenv("LANG", c.lang, 1);
        EXPECT_EQ(GetUserDefaultUILanguage(), c.language) << c.name << "=" << c.value;
    }
}

TEST_F(Locale, shift_jis_lead_bytes_take_two_and_a_single_byte_page_steps_one)
{
    use("LC_ALL", "ja_JP.SJIS");
    for (BYTE lead : {0x81, 0x9F, 0xE0, 0xFC})
        EXPECT_TRUE(IsDBCSLeadByte(lead)) << int(lead);
    EXPECT_FALSE(IsDBCSLeadByte(0xA0));
    EXPECT_FALSE(IsDBCSLeadByte(0x5C));
    const char text[] = "\x83\x5C\\a";
    EXPECT_EQ(CharNextA(text), text + 2);
    EXPECT_EQ(CharNextA(text + 2), text + 3);
    // A lead byte at the very end never steps past the terminating zero.
    const char cut[] = "\x83";
    EXPECT_EQ(CharNextA(cut), cut + 1);
    EXPECT_EQ(CharNextA(cut + 1), cut + 1);
    use("LC_ALL", "C");
    EXPECT_EQ(CharNextA(text), text + 1);
    EXPECT_FALSE(IsDBCSLeadByte(0x83));
}

TEST_F(Locale, utf8_sequences_are_one_character_and_broken_ones_stop_early)
{
    use("LC_ALL", "en_US.UTF-8");
    EXPECT_FALSE(IsDBCSLeadByte(0x83));
    const char text[] = "\xe6\x97\xa5\xc3\xa9x\xe6\x97y\xff";
    EXPECT_EQ(CharNextA(text), text + 3);
    EXPECT_EQ(CharNextA(text + 3), text + 5);
    EXPECT_EQ(CharNextA(text + 5), text + 6);
    EXPECT_EQ(CharNextA(text + 6), text + 8) << "a sequence cut short ends at the byte that cannot continue it";
    EXPECT_EQ(CharNextA(text + 9), text + 10);
}

TEST_F(Locale, char_upper_changes_ascii_letters_only)
{
    use("LC_ALL", "ja_JP.SJIS");
    char text[] = "ab\x82\x61z\xe9";
    CharUpperA(text);
    EXPECT_STREQ(text, "AB\x82\x61Z\xe9");
}

static FILETIME filetime(uint64_t value)
{
    return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}
static uint64_t value_of(const FILETIME& time) { return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

TEST(FileTimes, calendar_round_trip_keeps_milliseconds_and_weekday)
{
    SYSTEMTIME calendar = {2008, 9, 0, 12, 10, 11, 12, 345};
    FILETIME time;
    ASSERT_TRUE(SystemTimeToFileTime(&calendar, &time));
    EXPECT_EQ(value_of(time), (1221214272ull + 11644473600ull) * 10000000ull + 3450000ull);
    SYSTEMTIME back;
    ASSERT_TRUE(FileTimeToSystemTime(&time, &back));
    calendar.wDayOfWeek = 5;  // 12 September 2008 was a Friday
    EXPECT_EQ(memcmp(&back, &calendar, sizeof back), 0);
}

TEST(FileTimes, first_and_last_representable_instants)
{
    SYSTEMTIME first = {1601, 1, 0, 1, 0, 0, 0, 0};
    FILETIME time;
    ASSERT_TRUE(SystemTimeToFileTime(&first, &time));
    EXPECT_EQ(value_of(time), 0u);
    SYSTEMTIME back;
    ASSERT_TRUE(FileTimeToSystemTime(&time, &back));
    EXPECT_EQ(back.wDayOfWeek, 1) << "1601 began on a Monday";
    const FILETIME too_large = filetime(0x8000000000000000ull);
    EXPECT_FALSE(FileTimeToSystemTime(&too_large, &back));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(FileTimes, invalid_calendar_fields_are_refused)
{
    const SYSTEMTIME invalid[] = {{1600, 12, 0, 31, 0, 0, 0, 0}, {2008, 13, 0, 1, 0, 0, 0, 0},
                                  {2007, 2, 0, 29, 0, 0, 0, 0},  {2008, 4, 0, 31, 0, 0, 0, 0},
                                  {2008, 1, 0, 1, 24, 0, 0, 0},  {2008, 1, 0, 1, 0, 60, 0, 0},
                                  {2008, 1, 0, 1, 0, 0, 60, 0},  {2008, 1, 0, 1, 0, 0, 0, 1000},
                                  {30828, 1, 0, 1, 0, 0, 0, 0}};
    FILETIME time;
    for (const SYSTEMTIME& calendar : invalid)
        EXPECT_FALSE(SystemTimeToFileTime(&calendar, &time)) << calendar.wYear << "-" << calendar.wMonth;
    const SYSTEMTIME leap = {2000, 2, 0, 29, 23, 59, 59, 999};
    EXPECT_TRUE(SystemTimeToFileTime(&leap, &time));
}

TEST(FileTimes, local_time_uses_the_zone_of_tz)
{
    setenv("TZ", "JST-9", 1);
    const FILETIME utc = filetime(100ull * 36000000000ull);
    FILETIME local, back;
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
    EXPECT_EQ(value_of(local), 109ull * 36000000000ull);
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
    EXPECT_EQ(value_of(back), value_of(utc));
    // Local midnight of 1 January 1601 in Tokyo lies before the first UTC instant.
    const FILETIME earliest = filetime(0);
    EXPECT_FALSE(LocalFileTimeToFileTime(&earliest, &back));
    setenv("TZ", "UTC", 1);
}

TEST(Startup, slashes_in_paths_become_backslashes_and_options_stay)
{
    std::vector<std::string> words = {"orva", "/C", "src/sub", "Z:/home/u", "/W='a/b'", "plain"};
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    prepare_arguments(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(std::vector<std::string>(argv.begin() + 1, argv.end()),
              (std::vector<std::string>{"/C", "src\\sub", "Z:\\home\\u", "/W='a/b'", "plain"}));
}
