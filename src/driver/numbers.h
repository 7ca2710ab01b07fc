// Reading an unsigned 32-bit number from the command line, the way strtoul reads it.
#pragma once

#include <cstdint>

// Leading white space and a sign are accepted; base 16 also takes a 0x prefix. An
// overflow gives 0xFFFFFFFF, a minus sign negates in 32 bits. Without digits the
// result is 0 and the cursor stays where it was; otherwise the cursor is left on the
// first character that does not belong to the number.
uint32_t read_unsigned(char** cursor, int base);

inline bool is_decimal_digit(char c)
{
    return c >= '0' && c <= '9';
}
