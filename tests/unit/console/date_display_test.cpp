// Dates and times of file times, in their column and variable forms.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "console/date_display.h"
#include "records/run_settings.h"
#include "support/utc_file_time.h"

// form: a date separator ('-' or 0), 'c' for the listing's column, or a time mode + '0'.
static std::string shown(uint64_t time, int year_4_digits, int form)
{
    reset_run_settings();
    settings.year_4_digits = year_4_digits;
    char buffer[32];
    char* cursor = buffer;
    int written;
    if (form == 'c')
        written = format_date_column(time, &cursor);
    else if (form == '-' || form == 0)
        written = format_date(time, &cursor, static_cast<char>(form));
    else
        written = format_time(time, &cursor, form - '0');
    EXPECT_EQ(cursor, buffer + written);
    return std::string(buffer, static_cast<size_t>(written));
}

// Hundredths are cut, never rounded; years past 9999 keep all their digits with /Y4.
TEST(DateDisplay, date_and_time_forms)
{
    setenv("TZ", "UTC", 1);
    tzset();
    const uint64_t t = utc_file_time(2008, 9, 12, 7, 8, 9, 340);
    const uint64_t last = utc_file_time(30827, 12, 31, 23, 59, 59, 999);
    const struct {
        uint64_t time;
        int year_4_digits, form;
        const char* expected;
    } cases[] = {
        {t, 0, '-', "08-09-12"},          {t, 0, 0, "080912"},
        {t, 1, '-', "2008-09-12"},        {t, 1, 0, "20080912"},
        {last, 1, '-', "30827-12-31"},    {last, 0, '-', "27-12-31"},
        {t, 0, '0' + TIME_COMPACT, "070809"}, {t, 0, '0' + TIME_SECONDS, "07:08:09"},
        {t, 0, '0' + TIME_HUNDREDTHS, "07:08:09.34"}, {last, 0, '0' + TIME_HUNDREDTHS, "23:59:59.99"},
        {t, 0, 'c', "08-09-12 07:08:09.34"}, {t, 1, 'c', "2008-09-12 07:08:09.34"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shown(c.time, c.year_4_digits, c.form), c.expected) << c.expected;
}

TEST(DateDisplay, local_time_uses_the_current_bias)
{
    setenv("TZ", "JST-9", 1);
    tzset();
    EXPECT_EQ(shown(utc_file_time(2008, 9, 12, 20, 0, 0, 0), 0, 'c'), "08-09-13 05:00:00.00");
    setenv("TZ", "UTC", 1);
    tzset();
}
