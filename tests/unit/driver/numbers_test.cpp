// Numbers of the command line read like strtoul, fixed to 32 bits.
#include <gtest/gtest.h>

#include <string>

#include "driver/numbers.h"

TEST(ReadUnsigned, reads_value_and_leaves_cursor_after_it)
{
    const struct {
        const char* text;
        int base;
        uint32_t value;
        size_t consumed;
    } cases[] = {
        {"130x", 10, 130, 3}, {"x", 10, 0, 0}, {"  +7", 10, 7, 4}, {"-1", 10, 0xFFFFFFFFu, 2}, {"-", 10, 0, 0},
        {"4294967296", 10, 0xFFFFFFFFu, 10}, {"99999999999999999999999", 10, 0xFFFFFFFFu, 23},
        {"12Eg", 16, 0x12E, 3}, {"0x1f", 16, 0x1F, 4}, {"0xg", 16, 0, 1}, {"0.5", 10, 0, 1},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        char* cursor = text.data();
        EXPECT_EQ(read_unsigned(&cursor, c.base), c.value) << c.text;
        EXPECT_EQ(static_cast<size_t>(cursor - text.data()), c.consumed) << c.text;
    }
}
