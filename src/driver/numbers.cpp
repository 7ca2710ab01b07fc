// Unsigned 32-bit numbers with the conventions of the C library's strtoul, fixed to 32
// bits, so that an option reads the same on every platform whatever its long is.
#include "driver/numbers.h"

static int digit_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

static bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

uint32_t read_unsigned(char** cursor, int base)
{
    char* p = *cursor;
    while (is_space(*p))
        p++;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        p++;
    }
    if (base == 16 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && digit_value(p[2]) < 16)
        p += 2;
    if (digit_value(*p) >= base)
        return 0;
    uint64_t value = 0;
    bool overflow = false;
    for (; digit_value(*p) < base; p++) {
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit_value(*p));
        if (value > UINT32_MAX) {
            overflow = true;
            value = UINT32_MAX;
        }
    }
    *cursor = p;
    if (overflow)
        return UINT32_MAX;
    return negative ? static_cast<uint32_t>(0u - static_cast<uint32_t>(value)) : static_cast<uint32_t>(value);
}
