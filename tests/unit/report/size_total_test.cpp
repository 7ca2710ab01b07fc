// The running total of the size summation: whole units, grouping and a column that widens.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/run_settings.h"
#include "report/size_summation.h"

TEST(SizeTotal, rounds_each_file_up_to_whole_units_and_widens_past_its_column)
{
    const std::string b10(10, ' ');
    const struct {
        uint32_t unit;
        int total_only;
        std::vector<uint64_t> sizes;
        std::string printed;  // the total after each size, '|' after each
    } cases[] = {
        {4096, 0, {0, 1, 4096, 4097},
         b10 + "0 clusters/ 4Kbytes |" + b10 + "1 clusters/ 4Kbytes |" + b10 + "2 clusters/ 4Kbytes |" + b10 +
             "4 clusters/ 4Kbytes |"},
        {512, 0, {513}, b10 + "2 clusters/.5Kbytes |"},
        {1, 0, {1234}, std::string(10, ' ') + "1,234 bytes |"},
        {1, 0, {999999999999ull}, "999,999,999,999 bytes |"},
        {1, 0, {1000000000000ull}, "1000,000,000,000 bytes |"},
        {1024, 0, {1500000ull * 1024}, "  1,500,000 clusters/ 1Kbytes |"},
        {1024, 0, {1000000000ull * 1024}, "1000,000,000 clusters/ 1Kbytes |"},
        {1, 1, {10, 20}, "||"},  // the total alone, printed by the caller at the end
    };
    for (const auto& c : cases) {
        reset_run_settings();
        settings.size_unit = c.unit;
        settings.size_total_only = c.total_only;
        testing::internal::CaptureStdout();
        for (uint64_t size : c.sizes) {
            add_and_print_size(size);
            fputs("|", stdout);
        }
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
    }
}
