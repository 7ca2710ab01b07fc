// What every fuzz target does with its input: a code page from the first byte, and the
// rest as one zero-terminated text, as an argument or a name arrives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/posix/paths/code_page.h"

// Sets an environment variable to one of three values by the selector; true when it
// changed. Values are switched only on a change, since the code reading them again
// costs more than most inputs.
inline bool choose_variable(const char* variable, const char* const (&values)[3], int* current, uint8_t selector)
{
    const int wanted = selector % 3;
    if (wanted == *current)
        return false;
    setenv(variable, values[wanted], 1);
    *current = wanted;
    return true;
}

// The single-byte page, Shift-JIS and UTF-8 in turn.
inline void choose_code_page(uint8_t selector)
{
    static const char* const locales[] = {"C", "ja_JP.SJIS", "en_US.UTF-8"};
    static int current = -1;
    if (choose_variable("LC_ALL", locales, &current, selector))
        reload_code_page();
}

// The bytes up to the first zero byte: an argument or a name cannot hold one.
inline std::string text_of(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    return text.substr(0, text.find('\0'));
}

// A broken promise of the code under test: reported like a crash, so the input is kept.
#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            fprintf(stderr, "%s:%d: %s does not hold\n", __FILE__, __LINE__, #condition);       \
            abort();                                                                            \
        }                                                                                       \
    } while (0)
