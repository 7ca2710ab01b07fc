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

std::string file_attributes(const std::string& column)
{
    return differs(ARCHIVE_ALWAYS_ON) ? "a" + column.substr(1) : column;
}
