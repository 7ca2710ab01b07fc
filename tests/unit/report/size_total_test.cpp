// The running-total text of the size summation.
#include <gtest/gtest.h>

#include <string>

#include "driver/run_settings.h"
#include "report/size_summation.h"

static std::string totals_after(uint32_t unit, std::initializer_list<uint64_t> sizes)
{
    reset_run_settings();
    settings.size_unit = unit;
    testing::internal::CaptureStdout();
    for (uint64_t size : sizes) {
        add_and_print_size(size);
        fputs("|", stdout);
    }
    return testing::internal::GetCapturedStdout();
}

TEST(SizeTotal, files_round_up_to_whole_units)
{
    const std::string b10(10, ' ');
    EXPECT_EQ(totals_after(4096, {0, 1, 4096, 4097}),
              b10 + "0 clusters/ 4Kbytes |" + b10 + "1 clusters/ 4Kbytes |" + b10 + "2 clusters/ 4Kbytes |" + b10 +
                  "4 clusters/ 4Kbytes |");
    EXPECT_EQ(settings.size_total, 4u);
}

TEST(SizeTotal, bytes_form_groups_by_three_in_a_column_of_fifteen)
{
    EXPECT_EQ(totals_after(1, {1234}), std::string(10, ' ') + "1,234 bytes |");
    EXPECT_EQ(totals_after(1, {999999999999ull}), "999,999,999,999 bytes |");
}

TEST(SizeTotal, totals_past_the_column_widen_its_first_group)
{
    EXPECT_EQ(totals_after(1, {1000000000000ull}), "1000,000,000,000 bytes |");
    EXPECT_EQ(totals_after(1024, {1000000000ull * 1024}), "1000,000,000 clusters/ 1Kbytes |");
}

TEST(SizeTotal, unit_texts)
{
    EXPECT_EQ(totals_after(512, {513}), std::string(10, ' ') + "2 clusters/.5Kbytes |");
    EXPECT_EQ(totals_after(16384, {1}), std::string(10, ' ') + "1 clusters/16Kbytes |");
    EXPECT_EQ(totals_after(1024, {1500000ull * 1024}), "  1,500,000 clusters/ 1Kbytes |");
}

TEST(SizeTotal, total_only_prints_nothing_per_file)
{
    reset_run_settings();
    settings.size_total_only = 1;
    testing::internal::CaptureStdout();
    add_and_print_size(10);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(settings.size_total, 10u);
}
