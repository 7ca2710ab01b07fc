// Date arguments: the grammar, the completion rules and the calendar checks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "driver/dates.h"
#include "platform/platform.h"

// Seconds from 1601 to 1970.
static const uint64_t EPOCH_1601 = 11644473600ull;

static uint64_t utc(int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    struct tm fields = {};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    const int64_t seconds = static_cast<int64_t>(timegm(&fields));
    return (static_cast<uint64_t>(seconds + static_cast<int64_t>(EPOCH_1601))) * 10000000ull +
           static_cast<uint64_t>(millisecond) * 10000ull;
}

class DateArguments : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
    }
    // Parses text; returns the value, or 0 when refused. rest gets what is left.
    static uint64_t parse(const std::string& text, int mode, std::string* rest = nullptr)
    {
        std::string copy = text;
        char* cursor = copy.data();
        uint64_t value = 0;
        if (!parse_date(&value, &cursor, mode))
            return 0;
        if (rest != nullptr)
            *rest = cursor;
        return value;
    }
};

TEST_F(DateArguments, two_digit_years_fold_at_80)
{
    EXPECT_EQ(parse("08-05-01", DATE_START_OF_DAY), utc(2008, 5, 1, 0, 0, 0, 0));
    EXPECT_EQ(parse("80-05-01", DATE_START_OF_DAY), utc(1980, 5, 1, 0, 0, 0, 0));
    EXPECT_EQ(parse("79-12-31", DATE_START_OF_DAY), utc(2079, 12, 31, 0, 0, 0, 0));
    EXPECT_EQ(parse("0-1-1", DATE_START_OF_DAY), utc(2000, 1, 1, 0, 0, 0, 0));
}

TEST_F(DateArguments, years_100_to_1600_are_refused)
{
    EXPECT_EQ(parse("100-01-01", DATE_START_OF_DAY), 0u);
    EXPECT_EQ(parse("1600-12-31", DATE_START_OF_DAY), 0u);
    EXPECT_EQ(parse("1601-01-02", DATE_START_OF_DAY), utc(1601, 1, 2, 0, 0, 0, 0));
    EXPECT_EQ(parse("30828-01-01", DATE_START_OF_DAY), 0u);
    EXPECT_EQ(parse("65537-01-01", DATE_START_OF_DAY), 0u);
}

TEST_F(DateArguments, separators_may_be_dash_or_slash_and_mixed)
{
    const uint64_t expected = utc(2008, 5, 1, 0, 0, 0, 0);
    EXPECT_EQ(parse("2008/05/01", DATE_START_OF_DAY), expected);
    EXPECT_EQ(parse("2008-05/01", DATE_START_OF_DAY), expected);
    EXPECT_EQ(parse("2008.05.01", DATE_START_OF_DAY), 0u);
    EXPECT_EQ(parse("2008-05", DATE_START_OF_DAY), 0u);
}

TEST_F(DateArguments, calendar_checks_months_and_days)
{
    EXPECT_NE(parse("2000-02-29", DATE_START_OF_DAY), 0u);
    EXPECT_EQ(parse("1900-02-29", DATE_START_OF_DAY), 0u);
    EXPECT_NE(parse("2008-02-29", DATE_START_OF_DAY), 0u);
    EXPECT_EQ(parse("2007-02-29", DATE_START_OF_DAY), 0u);
    EXPECT_EQ(parse("2008-04-31", DATE_START_OF_DAY), 0u);
    EXPECT_EQ(parse("2008-13-01", DATE_START_OF_DAY), 0u);
    EXPECT_EQ(parse("2008-00-01", DATE_START_OF_DAY), 0u);
    EXPECT_EQ(parse("2008-01-00", DATE_START_OF_DAY), 0u);
}

TEST_F(DateArguments, time_fields_are_range_checked_and_all_required)
{
    EXPECT_EQ(parse("2008-05-01,24:00:00", DATE_START_OF_DAY), 0u);
    EXPECT_EQ(parse("2008-05-01,12:60:00", DATE_START_OF_DAY), 0u);
    EXPECT_EQ(parse("2008-05-01,12:00:60", DATE_START_OF_DAY), 0u);
    EXPECT_EQ(parse("2008-05-01,12:00", DATE_START_OF_DAY), 0u);
    EXPECT_EQ(parse("2008-05-01,", DATE_START_OF_DAY), 0u);
}

TEST_F(DateArguments, comma_and_ampersand_both_start_the_time)
{
    EXPECT_EQ(parse("2008-05-01&12:00:00", DATE_START_OF_DAY), parse("2008-05-01,12:00:00", DATE_START_OF_DAY));
    EXPECT_EQ(parse("2008-05-01,12:00:00", DATE_START_OF_DAY), utc(2008, 5, 1, 12, 0, 0, 0));
}

TEST_F(DateArguments, fraction_is_milliseconds_filled_on_the_right_and_cut_after_three)
{
    std::string rest;
    EXPECT_EQ(parse("2008-05-01,12:00:00.5", DATE_START_OF_DAY), utc(2008, 5, 1, 12, 0, 0, 500));
    EXPECT_EQ(parse("2008-05-01,12:00:00.05", DATE_START_OF_DAY), utc(2008, 5, 1, 12, 0, 0, 50));
    EXPECT_EQ(parse("2008-05-01,12:00:00.123456x", DATE_START_OF_DAY, &rest), utc(2008, 5, 1, 12, 0, 0, 123));
    EXPECT_EQ(rest, "x");
    EXPECT_EQ(parse("2008-05-01,12:00:00.", DATE_END_OF_DAY), utc(2008, 5, 1, 12, 0, 0, 0));
}

TEST_F(DateArguments, missing_time_depends_on_the_mode)
{
    EXPECT_EQ(parse("2008-05-01", DATE_START_OF_DAY), utc(2008, 5, 1, 0, 0, 0, 0));
    EXPECT_EQ(parse("2008-05-01", DATE_END_OF_DAY), utc(2008, 5, 1, 23, 59, 59, 999));
    EXPECT_EQ(parse("2008-05-01", DATE_TIME_REQUIRED), 0u);
    EXPECT_EQ(parse("2008-05-01,12:00:00", DATE_END_OF_DAY), utc(2008, 5, 1, 12, 0, 0, 999));
}

TEST_F(DateArguments, time_alone_means_today)
{
    SYSTEMTIME today;
    GetLocalTime(&today);
    const uint64_t value = parse(",08:30:00", DATE_TIME_REQUIRED);
    const uint64_t midnight = utc(today.wYear, today.wMonth, today.wDay, 0, 0, 0, 0);
    ASSERT_GE(value, midnight);
    EXPECT_EQ((value - midnight) / 10000000ull, 8u * 3600 + 30 * 60);
}

TEST_F(DateArguments, time_required_mode_keeps_the_current_milliseconds)
{
    const uint64_t value = parse("2008-05-01,12:00:00", DATE_TIME_REQUIRED);
    EXPECT_GE(value, utc(2008, 5, 1, 12, 0, 0, 0));
    EXPECT_LE(value, utc(2008, 5, 1, 12, 0, 0, 999));
}

TEST_F(DateArguments, local_time_is_turned_into_utc_with_the_current_bias)
{
    setenv("TZ", "JST-9", 1);
    tzset();
    EXPECT_EQ(parse("2008-05-01,09:00:00", DATE_START_OF_DAY), utc(2008, 5, 1, 0, 0, 0, 0));
    // The first hours of 1601 in a zone east of Greenwich lie before the first FILETIME.
    EXPECT_EQ(parse("1601-01-01,00:00:00", DATE_START_OF_DAY), 0u);
    EXPECT_EQ(parse("1601-01-01,10:00:00", DATE_START_OF_DAY), utc(1601, 1, 1, 1, 0, 0, 0));
}

TEST_F(DateArguments, refused_date_leaves_target_and_cursor_alone)
{
    std::string text = "2008-02-30";
    char* cursor = text.data();
    uint64_t value = 42;
    EXPECT_EQ(parse_date(&value, &cursor, DATE_START_OF_DAY), 0);
    EXPECT_EQ(value, 42u);
    EXPECT_EQ(cursor, text.data());
}

TEST(DaysInMonth, follows_the_gregorian_calendar)
{
    const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int month = 1; month <= 12; month++)
        EXPECT_EQ(days_in_month(2007, month), lengths[month - 1]) << month;
    EXPECT_EQ(days_in_month(2008, 2), 29);
    EXPECT_EQ(days_in_month(1900, 2), 28);
    EXPECT_EQ(days_in_month(2000, 2), 29);
}
