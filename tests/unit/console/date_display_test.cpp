// Dates and times of file times, in their column and variable forms.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "console/date_display.h"
#include "driver/run_settings.h"

static uint64_t utc(int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    struct tm fields = {};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return static_cast<uint64_t>(timegm(&fields) + 11644473600ll) * 10000000ull +
           static_cast<uint64_t>(millisecond) * 10000ull;
}

static std::string date(uint64_t time, char separator)
{
    char buffer[16];
    char* cursor = buffer;
    const int written = format_date(time, &cursor, separator);
    EXPECT_EQ(cursor, buffer + written);
    return std::string(buffer, static_cast<size_t>(written));
}

static std::string time_of(uint64_t time, int mode)
{
    char buffer[16];
    char* cursor = buffer;
    const int written = format_time(time, &cursor, mode);
    EXPECT_EQ(cursor, buffer + written);
    return std::string(buffer, static_cast<size_t>(written));
}

class DateDisplay : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
        reset_run_settings();
    }
};

TEST_F(DateDisplay, date_forms_follow_the_year_setting)
{
    const uint64_t t = utc(2008, 9, 12, 10, 11, 12, 340);
    EXPECT_EQ(date(t, '-'), "08-09-12");
    EXPECT_EQ(date(t, 0), "080912");
    EXPECT_EQ(date(utc(2000, 1, 2, 0, 0, 0, 0), '-'), "00-01-02");
    settings.year_4_digits = 1;
    EXPECT_EQ(date(t, '-'), "2008-09-12");
    EXPECT_EQ(date(t, 0), "20080912");
    EXPECT_EQ(date(utc(1601, 3, 4, 0, 0, 0, 0), '-'), "1601-03-04");
    EXPECT_EQ(date(utc(30827, 12, 31, 0, 0, 0, 0), '-'), "30827-12-31");
    settings.year_4_digits = 0;
    EXPECT_EQ(date(utc(30827, 12, 31, 0, 0, 0, 0), '-'), "27-12-31");
}

TEST_F(DateDisplay, time_forms_truncate_hundredths_never_round)
{
    const uint64_t t = utc(2008, 9, 12, 7, 8, 9, 340);
    EXPECT_EQ(time_of(t, TIME_COMPACT), "070809");
    EXPECT_EQ(time_of(t, TIME_SECONDS), "07:08:09");
    EXPECT_EQ(time_of(t, TIME_HUNDREDTHS), "07:08:09.34");
    EXPECT_EQ(time_of(t, 5), "07:08:09.34");
    EXPECT_EQ(time_of(utc(2008, 12, 31, 23, 59, 59, 999), TIME_HUNDREDTHS), "23:59:59.99");
}

TEST_F(DateDisplay, local_time_uses_the_current_bias)
{
    setenv("TZ", "JST-9", 1);
    tzset();
    const uint64_t t = utc(2008, 9, 12, 20, 0, 0, 0);
    EXPECT_EQ(date(t, '-'), "08-09-13");
    EXPECT_EQ(time_of(t, TIME_SECONDS), "05:00:00");
}

TEST_F(DateDisplay, printers_write_the_column_forms)
{
    const uint64_t t = utc(2008, 9, 12, 10, 11, 12, 340);
    char column[32];
    char* cursor = column;
    const int written = format_date_column(t, &cursor);
    EXPECT_EQ(cursor, column + written);
    EXPECT_EQ(std::string(column, static_cast<size_t>(written)), "08-09-12 10:11:12.34");
    testing::internal::CaptureStdout();
    print_date(t);
    print_time(t, '|');
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "08-09-12 10:11:12|");
}
