// The lexical side of the command line: options, words, quoted values, quotes.
#include "driver/tokenizer.h"

#include <cstring>

#include "text/multibyte.h"

static bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

// Moves the cursor to the end of a word: the next blank, switch character or end of
// text, where blanks and switches inside double quotes do not count. False when a
// quoted stretch has no closing quote.
static bool skip_word(char** cursor)
{
    char* p = *cursor;
    while (*p != '\0' && !is_blank(*p) && *p != SWITCH_CHARACTER) {
        if (*p != '"') {
            p = next_char(p);
            continue;
        }
        p++;
        for (;;) {
            if (*p == '\0')
                return false;
            if (*p == '"' && p[1] == '"') {
                p += 2;
                continue;
            }
            if (*p == '"')
                break;
            p = next_char(p);
        }
        p++;
    }
    *cursor = p;
    return true;
}

int scan_switch_argument(char* text, OptionHandler* handler)
{
    char* cursor = text;
    while (*cursor != '\0') {
        if (is_blank(*cursor)) {
            cursor++;
            continue;
        }
        if (*cursor != SWITCH_CHARACTER) {
            // A word inside an option argument is read over and discarded.
            if (!skip_word(&cursor))
                return 0;
            const char ended_by = *cursor;
            *cursor = '\0';
            if (ended_by == '\0')
                return 1;
            if (is_blank(ended_by)) {
                cursor++;
                continue;
            }
            // The switch that ended the word is now a zero byte; the handler steps over it.
        }
        for (;;) {
            if (!handler(&cursor))
                return 0;
            if (*cursor == '\0')
                return 1;
            if (is_blank(*cursor)) {
                cursor++;
                break;
            }
            if (*cursor != SWITCH_CHARACTER)
                return 0;
        }
    }
    return 1;
}

char* read_quoted_value(char** cursor)
{
    char* p = *cursor;
    if (*p != '=' && *p != ':')
        return nullptr;
    p++;
    if (*p == '\0')
        return nullptr;
    // The quote may be any character, a double-byte one included.
    const char* quote = p;
    const size_t quote_length = static_cast<size_t>(next_char(p) - p);
    char* value = p + quote_length;
    char* q = value;
    while (*q != '\0') {
        char* after = next_char(q);
        if (static_cast<size_t>(after - q) != quote_length || memcmp(q, quote, quote_length) != 0) {
            q = after;
            continue;
        }
        char* following = next_char(after);
        if (static_cast<size_t>(following - after) == quote_length && memcmp(after, quote, quote_length) == 0) {
            memmove(q, after, strlen(after) + 1);
            q += quote_length;
            continue;
        }
        *q = '\0';
        *cursor = after;
        return value;
    }
    *cursor = q;
    return value;
}

void remove_quotes(char* text)
{
    if (text == nullptr)
        return;
    char* p = text;
    while ((p = find_char(p, '"')) != nullptr)
        memmove(p, p + 1, strlen(p + 1) + 1);
}
