// Fuzz target: the tokenizer's option scan, quoted values and quote removal.
#include <cstring>

#include "driver/tokenizer.h"
#include "fuzz_input.h"
#include "text/multibyte.h"

static const char* buffer_start;
static const char* buffer_end;

static bool inside(const char* p)
{
    return p >= buffer_start && p <= buffer_end;
}

// An option of letters, with a quoted value when '=' or ':' follows them. The scan
// promises to hand over the cursor on a switch character or on the zero byte that
// replaced one.
static int letters_and_value(char** cursor)
{
    FUZZ_CHECK(inside(*cursor));
    FUZZ_CHECK(**cursor == SWITCH_CHARACTER || **cursor == '\0');
    (*cursor)++;
    while (**cursor != '\0' && strchr("/ \t=:", **cursor) == nullptr)
        (*cursor)++;
    if (**cursor != '=' && **cursor != ':')
        return 1;
    const char* value = read_quoted_value(cursor);
    FUZZ_CHECK(value == nullptr || inside(value));
    FUZZ_CHECK(inside(*cursor));
    return value != nullptr;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    choose_code_page(data[0]);
    std::string text = text_of(data + 1, size - 1);
    std::string unquoted = text;

    buffer_start = text.data();
    buffer_end = text.data() + text.size();
    scan_switch_argument(text.data(), letters_and_value);

    // A trail byte 0x22 of a double-byte character is no quote and stays.
    size_t quotes = 0;
    for (const char* p = unquoted.c_str(); (p = find_char(p, '"')) != nullptr; p++)
        quotes++;
    remove_quotes(unquoted.data());
    FUZZ_CHECK(find_char(unquoted.c_str(), '"') == nullptr);
    FUZZ_CHECK(strlen(unquoted.c_str()) + quotes == unquoted.size());
    return 0;
}
