// The code page, the user's language and character stepping, taken from the locale variables.
//
// The locale is read as text, so that no locale needs to be installed: a charset of
// SJIS, Shift_JIS, CP932 or 932 means code page 932, UTF-8 means 65001, anything else a
// single-byte page (1252). A language part of "ja" means Japanese, any other English.
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "platform/platform.h"
#include "platform/posix/paths/code_page.h"

static UINT code_page_of_locale(const char* locale)
{
    const char* dot = locale;
    while (*dot != '\0' && *dot != '.')
        dot++;
    if (*dot == '\0')
        return 1252;
    char charset[32];
    size_t length = 0;
    for (const char* p = dot + 1; *p != '\0' && *p != '@' && length + 1 < sizeof charset; p++)
        charset[length++] = *p;
    charset[length] = '\0';
    if (strcasecmp(charset, "SJIS") == 0 || strcasecmp(charset, "Shift_JIS") == 0 ||
        strcasecmp(charset, "CP932") == 0 || strcasecmp(charset, "932") == 0)
        return 932;
    if (strcasecmp(charset, "UTF-8") == 0 || strcasecmp(charset, "UTF8") == 0)
        return CP_UTF8;
    return 1252;
}

// The first of LC_ALL, LC_CTYPE and LANG that is set and not empty decides, as in POSIX.
static UINT code_page_from_environment()
{
    const char* names[] = {"LC_ALL", "LC_CTYPE", "LANG"};
    for (const char* name : names) {
        const char* value = getenv(name);
        if (value != nullptr && value[0] != '\0')
            return code_page_of_locale(value);
    }
    return 1252;
}

// GetUserDefaultUILanguage: the language of the user's Windows display. Here the
// language of the locale's messages; Japanese or English, nothing else.
// The language of the messages the user reads, from the first of LC_ALL, LC_MESSAGES and
// LANG that is set and not empty, as POSIX chooses the language of messages. The
// language is what stands before any '_', '.' or '@' (ja_JP.UTF-8, ja.utf8, ja@x).
// Read at every call: the program asks once, at start-up.
LANGID GetUserDefaultUILanguage(void)
{
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (const char* name : names) {
        const char* value = getenv(name);
        if (value == nullptr || value[0] == '\0')
            continue;
        if (strncmp(value, "ja", 2) == 0 && (value[2] == '\0' || strchr("_.@", value[2]) != nullptr))
            return MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN);
        break;
    }
    return MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
}

static UINT active_code_page = 0;

void reload_code_page()
{
    active_code_page = code_page_from_environment();
}

// GetACP: the system's ANSI code page. Here it is the locale's, read at the first call
// from LC_ALL, LC_CTYPE and LANG as text: 932 for Shift-JIS, 65001 for UTF-8, else 1252.
UINT GetACP(void)
{
    if (active_code_page == 0)
        reload_code_page();
    return active_code_page;
}

// GetConsoleOutputCP: the console's output code page, which chcp changes on Windows.
// Here nothing changes it: it is the locale's, the same as GetACP.
UINT GetConsoleOutputCP(void)
{
    return GetACP();
}

// IsDBCSLeadByte: whether a byte begins a two-byte character of the ANSI code page. Only
// code page 932 has such bytes (0x81-0x9F, 0xE0-0xFC); UTF-8 is stepped by CharNextA.
BOOL IsDBCSLeadByte(BYTE test_char)
{
    if (GetACP() != 932)
        return FALSE;
    return (test_char >= 0x81 && test_char <= 0x9F) || (test_char >= 0xE0 && test_char <= 0xFC);
}

// Length of the UTF-8 sequence that a lead byte announces; 1 for a stray byte.
static int utf8_sequence_length(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 1;
}

// One character on; a sequence cut short by the end of the text or by a byte that
// cannot continue it counts as far as it goes, so stepping never passes the zero byte.
LPSTR CharNextA(LPCSTR current)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(current);
    if (*p == 0)
        return const_cast<LPSTR>(current);
    int length = 1;
    if (GetACP() == 932) {
        if (IsDBCSLeadByte(*p) && p[1] != 0)
            length = 2;
    } else if (GetACP() == CP_UTF8) {
        int wanted = utf8_sequence_length(*p);
        while (length < wanted && (p[length] & 0xC0) == 0x80)
            length++;
    }
    return const_cast<LPSTR>(current + length);
}

// Upper-cases the ASCII letters and leaves every multibyte character as it is. Outside
// the double-byte page no byte of a multibyte character is below 0x80, so the text can
// be read byte by byte; the walker upper-cases every name it meets.
LPSTR CharUpperA(LPSTR text)
{
    if (GetACP() != 932) {
        for (char* p = text; *p != '\0'; p++) {
            if (*p >= 'a' && *p <= 'z')
                *p = static_cast<char>(*p - 'a' + 'A');
        }
        return text;
    }
    for (char* p = text; *p != '\0';) {
        char* next = CharNextA(p);
        if (next == p + 1 && *p >= 'a' && *p <= 'z')
            *p = static_cast<char>(*p - 'a' + 'A');
        p = next;
    }
    return text;
}
