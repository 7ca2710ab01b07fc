// Numbers of the command line read like strtoul, fixed to 32 bits.
#include <gtest/gtest.h>

#include <string>

#include "driver/numbers.h"

struct NumberCase {
    std::string text;
    int base;
    uint32_t value;
    size_t consumed;
};

class ReadUnsigned : public testing::TestWithParam<NumberCase> {};

TEST_P(ReadUnsigned, reads_value_and_leaves_cursor_after_it)
{
    std::string text = GetParam().text;
    char* cursor = text.data();
    EXPECT_EQ(read_unsigned(&cursor, GetParam().base), GetParam().value);
    EXPECT_EQ(static_cast<size_t>(cursor - text.data()), GetParam().consumed);
}

INSTANTIATE_TEST_SUITE_P(Table, ReadUnsigned,
                         testing::Values(NumberCase{"130x", 10, 130, 3}, NumberCase{"", 10, 0, 0},
                                         NumberCase{"x", 10, 0, 0}, NumberCase{"  7", 10, 7, 3},
                                         NumberCase{"+5", 10, 5, 2}, NumberCase{"-1", 10, 0xFFFFFFFFu, 2},
                                         NumberCase{"-", 10, 0, 0}, NumberCase{"4294967295", 10, 0xFFFFFFFFu, 10},
                                         NumberCase{"4294967296", 10, 0xFFFFFFFFu, 10},
                                         NumberCase{"99999999999999999999999", 10, 0xFFFFFFFFu, 23},
                                         NumberCase{"12Eg", 16, 0x12E, 3}, NumberCase{"0x1f", 16, 0x1F, 4},
                                         NumberCase{"0xg", 16, 0, 1}, NumberCase{"abcdef", 16, 0xABCDEF, 6},
                                         NumberCase{"0.5", 10, 0, 1}));
