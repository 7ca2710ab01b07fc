// Where the Windows build under Wine and the Linux build differ by design.
#include "e2e/known_differences.h"

#include <cctype>
#include <cstdlib>

bool on_wine()
{
    const char* launcher = getenv("ORVA_LAUNCHER");
    return launcher != nullptr && *launcher != '\0';
}

bool differs(Difference)
{
    return on_wine();
}

std::string messages_in(const std::string& japanese, const std::string& english)
{
    return differs(ENGLISH_WITHOUT_CONSOLE) ? english : japanese;
}

static bool alias_character(char c)
{
    return std::isupper(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c));
}

std::string aliases_blurred(const std::string& text)
{
    if (!differs(HASHED_SHORT_NAMES))
        return text;
    std::string result;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] != '~') {
            result += text[i];
            continue;
        }
        while (!result.empty() && alias_character(result.back()))
            result.pop_back();
        result += '~';
        while (i + 1 < text.size() && alias_character(text[i + 1]))
            i++;
    }
    return result;
}

std::string blurred(const std::string& text)
{
    std::string result = aliases_blurred(text);
    for (size_t at = 0; differs(ARCHIVE_ALWAYS_ON) && at + 7 <= result.size(); at++) {
        const bool file_column = result.compare(at, 2, "--") == 0 && result[at + 6] == ' ' &&
                                 result.find_first_not_of("-shr", at + 2) == at + 6;
        if (file_column && (at == 0 || result[at - 1] == '\n'))
            result[at] = 'a';
    }
    return result;
}
