// The size column, its numbers grouped by three, and the attribute letters.
#include <gtest/gtest.h>

#include <string>

#include "console/number_format.h"

// Fourteen places and a blank, no leading zeros; a larger size pushes the column, a directory leaves it blank.
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
                 {0xFFFFFFFFu, 0xFFFFFFFFu, 0x20, 1, "18,446,744,073,709,551,615 "},
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
