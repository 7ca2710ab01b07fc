// Character stepping over multibyte text, on top of the platform's CharNextA.
#include "walk/multibyte.h"

#include "platform/platform.h"

char* next_char(const char* p)
{
    return CharNextA(p);
}

char* find_char(const char* text, char c)
{
    for (const char* p = text; *p != '\0'; p = next_char(p)) {
        if (*p == c)
            return const_cast<char*>(p);
    }
    return nullptr;
}

char* last_char(const char* text)
{
    const char* last = nullptr;
    for (const char* p = text; *p != '\0'; p = next_char(p))
        last = p;
    return const_cast<char*>(last);
}
