// Date arguments: the grammar, the completion rules and the calendar checks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "driver/dates.h"
#include "platform/platform.h"
#include "support/utc_file_time.h"

static const uint64_t ONE_DAY = 864000000000ull;

// The value, or 0 when refused; a refusal must leave the target and the cursor alone.
static uint64_t parse(const char* text, int mode, std::string* rest = nullptr)
{
    std::string copy = text;
    char* cursor = copy.data();
    uint64_t value = 42;
    if (!parse_date(&value, &cursor, mode)) {
        EXPECT_EQ(value, 42u) << text;
        EXPECT_EQ(cursor, copy.data()) << text;
        return 0;
    }
    if (rest != nullptr)
        *rest = cursor;
    return value;
}

class DateArguments : public testing::Test {
protected:
    void TearDown() override { set_zone("UTC"); }
    static void set_zone(const char* zone)
    {
        setenv("TZ", zone, 1);
        tzset();
    }
};

TEST_F(DateArguments, grammar_calendar_and_completion_of_start_and_end_of_day)
{
    const int START = DATE_START_OF_DAY, END = DATE_END_OF_DAY;
    const struct { const char* text; int mode; uint64_t expected; /* 0: refused */ } cases[] = {
        // Two-digit years fold at 80; years 100 to 1600 and past 30827 are refused.
        {"08-05-01", START, utc_file_time(2008, 5, 1)}, {"80-05-01", START, utc_file_time(1980, 5, 1)},
        {"0-1-1", START, utc_file_time(2000, 1, 1)},
        {"79-12-31", START, utc_file_time(2079, 12, 31)}, {"100-01-01", START, 0}, {"1600-12-31", START, 0},
        {"1601-01-02", START, utc_file_time(1601, 1, 2)}, {"30828-01-01", START, 0}, {"65537-01-01", START, 0},
        // Separators are dash or slash, mixed too; all three fields are required.
        {"2008/05-01", START, utc_file_time(2008, 5, 1)}, {"2008.05.01", START, 0}, {"2008-05", START, 0},
        // The calendar: leap years, month lengths, zero fields.
        {"2000-02-29", START, utc_file_time(2000, 2, 29)}, {"2008-02-29", START, utc_file_time(2008, 2, 29)},
        {"1900-02-29", START, 0},
        {"2007-02-29", START, 0}, {"2008-04-31", START, 0}, {"2008-12-31", START, utc_file_time(2008, 12, 31)},
        {"2008-13-01", START, 0}, {"2008-00-01", START, 0}, {"2008-01-00", START, 0},
        // Time fields are range checked and all required; comma and ampersand both start the time.
        {"2008-05-01,24:00:00", START, 0}, {"2008-05-01,12:60:00", START, 0}, {"2008-05-01,12:00:60", START, 0},
        {"2008-05-01,12:00", START, 0}, {"2008-05-01,", START, 0},
        {"2008-05-01,12:00:00", START, utc_file_time(2008, 5, 1, 12)},
        {"2008-05-01&23:59:59", START, utc_file_time(2008, 5, 1, 23, 59, 59)},
        // The fraction is milliseconds, filled on the right and cut after three digits.
        {"2008-05-01,12:00:00.5", START, utc_file_time(2008, 5, 1, 12, 0, 0, 500)},
        {"2008-05-01,12:00:00.05", START, utc_file_time(2008, 5, 1, 12, 0, 0, 50)},
        {"2008-05-01,12:00:00.", END, utc_file_time(2008, 5, 1, 12, 0, 0, 0)},
        // A missing time or fraction completes to the start or the end of the day.
        {"2008-05-01", END, utc_file_time(2008, 5, 1, 23, 59, 59, 999)}, {"2008-05-01", DATE_TIME_REQUIRED, 0},
        {"2008-05-01,12:00:00", END, utc_file_time(2008, 5, 1, 12, 0, 0, 999)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse(c.text, c.mode), c.expected) << c.text << " mode " << c.mode;
    std::string rest;
    EXPECT_EQ(parse("2008-05-01,12:00:00.123456x", START, &rest), utc_file_time(2008, 5, 1, 12, 0, 0, 123));
    EXPECT_EQ(rest, "x");
}

// /D keeps the current milliseconds, and a time alone means today (the day is read on
// both sides of the parse, so that a run across midnight still passes).
TEST_F(DateArguments, time_required_mode_keeps_the_current_milliseconds_and_the_current_day)
{
    const uint64_t value = parse("2008-05-01,12:00:00", DATE_TIME_REQUIRED);
    EXPECT_GE(value, utc_file_time(2008, 5, 1, 12));
    EXPECT_LE(value, utc_file_time(2008, 5, 1, 12, 0, 0, 999));
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    const uint64_t today = parse(",08:30:00", DATE_TIME_REQUIRED);
    GetLocalTime(&after);
    EXPECT_EQ(today % ONE_DAY / 10000000ull, 8u * 3600 + 30 * 60);
    const uint64_t day = today / ONE_DAY;
    EXPECT_TRUE(day == utc_file_time(before.wYear, before.wMonth, before.wDay) / ONE_DAY ||
                day == utc_file_time(after.wYear, after.wMonth, after.wDay) / ONE_DAY);
}

TEST_F(DateArguments, local_time_is_turned_into_utc_with_the_current_bias)
{
    set_zone("JST-9");
    EXPECT_EQ(parse("2008-05-01,09:00:00", DATE_START_OF_DAY), utc_file_time(2008, 5, 1));
    // The first hours of 1601 in a zone east of Greenwich lie before the first FILETIME.
    EXPECT_EQ(parse("1601-01-01,00:00:00", DATE_START_OF_DAY), 0u);
    EXPECT_EQ(parse("1601-01-01,10:00:00", DATE_START_OF_DAY), utc_file_time(1601, 1, 1, 1));
}
