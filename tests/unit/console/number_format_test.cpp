// Grouped numbers, the size column and the attribute letters.
#include <gtest/gtest.h>

#include <string>

#include "console/number_format.h"

TEST(GroupedNumber, groups_by_three_without_leading_zeros)
{
    const struct {
        uint64_t value;
        const char* text;
    } cases[] = {{0, "0"}, {999, "999"}, {1000, "1,000"}, {1001, "1,001"}, {4294967296ull, "4,294,967,296"},
                 {UINT64_MAX, "18,446,744,073,709,551,615"}};
    for (const auto& c : cases)
        EXPECT_STREQ(format_grouped(c.value), c.text) << c.value;
}

// Fourteen places and a blank; a larger size pushes the column, a directory leaves it blank.
TEST(SizeField, prints_the_column_of_one_line)
{
    const struct {
        uint32_t size_low, size_high, attributes;
        int compact;
        std::string printed;
    } cases[] = {{345, 0, 0x20, 0, std::string(11, ' ') + "345 "},
                 {1234, 0, 0x00, 1, "1,234 "},
                 {0, 1, 0x20, 0, " 4,294,967,296 "},
                 {0x4876E7FFu, 0x17, 0x20, 0, "99,999,999,999 "},
                 {0x4876E800u, 0x17, 0x20, 0, "100,000,000,000 "},
                 {12345, 6, 0x10, 0, std::string(15, ' ')},
                 {0, 0, 0x10, 1, ""}};
    for (const auto& c : cases) {
        testing::internal::CaptureStdout();
        print_size_field(c.size_low, c.size_high, c.attributes, c.compact);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed)
            << "high " << c.size_high << " low " << c.size_low << " attributes " << c.attributes;
    }
}

TEST(AttributeWord, prints_six_letters_in_fixed_places)
{
    const struct {
        uint32_t attributes;
        const char* letters;
    } cases[] = {{0x00, "------"}, {0x21, "a----r"}, {0x10, "-d----"}, {0x02, "----h-"},
                 {0x04, "---s--"}, {0xFFFFFFFFu, "ad-shr"}};
    for (const auto& c : cases) {
        testing::internal::CaptureStdout();
        print_attributes(c.attributes);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.letters) << c.attributes;
    }
}
