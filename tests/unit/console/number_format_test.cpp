// Grouped numbers, the size column and the attribute letters.
#include <gtest/gtest.h>

#include <string>

#include "console/number_format.h"

// The case records stay local to this file: other tests have tables of their own.
namespace {

struct GroupedCase {
    uint64_t value;
    std::string text;
};

void PrintTo(const GroupedCase& c, std::ostream* out) { *out << c.value; }

class GroupedNumber : public testing::TestWithParam<GroupedCase> {};

}  // namespace

TEST_P(GroupedNumber, groups_by_three_without_leading_zeros)
{
    EXPECT_EQ(std::string(format_grouped(GetParam().value)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GroupedNumber,
    testing::Values(GroupedCase{0, "0"}, GroupedCase{7, "7"}, GroupedCase{10, "10"}, GroupedCase{999, "999"},
                    GroupedCase{1000, "1,000"}, GroupedCase{1001, "1,001"}, GroupedCase{1234, "1,234"},
                    GroupedCase{1000000, "1,000,000"}, GroupedCase{4294967295u, "4,294,967,295"},
                    GroupedCase{4294967296ull, "4,294,967,296"},
                    GroupedCase{999999999999999999ull, "999,999,999,999,999,999"},
                    GroupedCase{1000000000000000000ull, "1,000,000,000,000,000,000"},
                    GroupedCase{10000000000000000000ull, "10,000,000,000,000,000,000"},
                    GroupedCase{UINT64_MAX, "18,446,744,073,709,551,615"}));

TEST(GroupedNumberBuffer, next_call_overwrites_the_text_of_the_last)
{
    const char* first = format_grouped(UINT64_MAX);
    const char* second = format_grouped(5);
    EXPECT_EQ(std::string(second), "5");
    EXPECT_EQ(second, first + 25);
    EXPECT_EQ(std::string(first), "00,000,000,000,000,000,005");
}

namespace {

struct SizeCase {
    uint32_t size_low;
    uint32_t size_high;
    uint32_t attributes;
    int compact;
    std::string printed;
};

void PrintTo(const SizeCase& c, std::ostream* out)
{
    *out << "high " << c.size_high << " low " << c.size_low << " attributes " << c.attributes << " compact "
         << c.compact;
}

class SizeField : public testing::TestWithParam<SizeCase> {};

}  // namespace

TEST_P(SizeField, prints_the_column_of_one_line)
{
    testing::internal::CaptureStdout();
    print_size_field(GetParam().size_low, GetParam().size_high, GetParam().attributes, GetParam().compact);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), GetParam().printed);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SizeField,
    testing::Values(SizeCase{0, 0, 0x20, 0, std::string(13, ' ') + "0 "},
                    SizeCase{345, 0, 0x20, 0, std::string(11, ' ') + "345 "},
                    SizeCase{1234, 0, 0x00, 0, std::string(9, ' ') + "1,234 "},
                    SizeCase{1234, 0, 0x00, 1, "1,234 "}, SizeCase{0, 0, 0x00, 1, "0 "},
                    SizeCase{0, 1, 0x20, 0, std::string(1, ' ') + "4,294,967,296 "},
                    SizeCase{0xFFFFFFFFu, 0, 0x20, 0, std::string(1, ' ') + "4,294,967,295 "},
                    SizeCase{0x4876E7FFu, 0x17, 0x20, 0, "99,999,999,999 "},
                    SizeCase{0x4876E800u, 0x17, 0x20, 0, "100,000,000,000 "},
                    SizeCase{0xFFFFFFFFu, 0xFFFFFFFFu, 0x21, 0, "18,446,744,073,709,551,615 "},
                    SizeCase{0x4876E800u, 0x17, 0x20, 1, "100,000,000,000 "},
                    SizeCase{0, 0, 0x10, 0, std::string(15, ' ')}, SizeCase{12345, 6, 0x10, 0, std::string(15, ' ')},
                    SizeCase{0, 0, 0x10, 1, ""}, SizeCase{99, 0, 0x37, 1, ""}));

namespace {

struct AttributeWordCase {
    uint32_t attributes;
    std::string letters;
};

void PrintTo(const AttributeWordCase& c, std::ostream* out) { *out << c.attributes; }

class AttributeWord : public testing::TestWithParam<AttributeWordCase> {};

}  // namespace

TEST_P(AttributeWord, prints_six_letters_in_fixed_places)
{
    testing::internal::CaptureStdout();
    print_attributes(GetParam().attributes);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), GetParam().letters);
}

INSTANTIATE_TEST_SUITE_P(Table, AttributeWord,
                         testing::Values(AttributeWordCase{0x00, "------"}, AttributeWordCase{0x21, "a----r"},
                                         AttributeWordCase{0x10, "-d----"}, AttributeWordCase{0x02, "----h-"},
                                         AttributeWordCase{0x04, "---s--"}, AttributeWordCase{0x20, "a-----"},
                                         AttributeWordCase{0x37, "ad-shr"}, AttributeWordCase{0xFFFFFFFFu, "ad-shr"},
                                         AttributeWordCase{0x80, "------"}, AttributeWordCase{0x08, "------"}));
