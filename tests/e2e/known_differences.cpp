// Where the Windows build under Wine and the Linux build differ by design, and why.
#include "e2e/known_differences.h"

#include <cctype>
#include <cstdlib>

// Indexed by Difference, in its order.
static const char* const REASONS[] = {
    /* HASHED_SHORT_NAMES */ "Wine makes an alias from four letters and a hash of the name (LONG~F30); our layer numbers them as Windows does (LONGFI~1)",
    /* ARCHIVE_ALWAYS_ON */ "Wine reports the archive bit on every file, whatever was stored",
    /* ENGLISH_WITHOUT_CONSOLE */ "headless, Wine gives the program no console: the output code page is 0, so messages are English whatever the locale",
    /* SLASH_KEPT_IN_ARGUMENTS */ "only our Linux layer reads '/' inside an argument as '\\'",
    /* ARGUMENTS_READ_AS_UTF8 */ "Wine reads the host's arguments as UTF-8: bytes that are not UTF-8 are changed",
    /* COMMAND_LINE_LIMIT */ "a Windows command line holds at most 32767 characters; Wine does not start the program",
    /* READ_ONLY_DIRECTORY_NOT_KEPT */ "Wine keeps no read-only bit for a directory; our layer stores it",
    /* SPECIAL_FILES_OPENED */ "Wine opens FIFOs and devices like files; our layer refuses them (error 5) so as never to block",
    /* DANGLING_LINKS_NOT_LISTED */ "Wine leaves a link without target out of a search; our layer lists it as a file that cannot be opened",
    /* ATTRIBUTES_WITHOUT_STORE_ACCEPTED */ "on a file system without extended attributes Wine accepts hidden and system and keeps nothing; our layer fails with error 50",
    /* FAILED_DELETION_UNREPORTED */ "Wine deletes when the file is closed and reports success even when the host refused",
    /* TIMES_OUTSIDE_SYSTEMTIME */ "Wine gives a time before 1601 or after 30827 as no time (0000-00-00); our layer clamps it",
    /* PATHS_PAST_MAX_PATH */ "Wine's ANSI file functions refuse paths past MAX_PATH (260); our layer takes any length",
    /* NAMES_READ_AS_UTF8 */ "Wine reads host names as UTF-8 whatever the locale; our layer follows the locale's code page",
    /* INTERPRETER_IS_CMD */ "under Wine a command runs in Wine's cmd.exe, with Windows paths, whatever the host's COMSPEC says; on Linux in /bin/sh with host paths",
    /* HELP_WORDS_ARE_PATHS */ "--help and --version are words of the Linux build, as of every Linux tool; on Windows they are paths like any other",
    /* UNSHOWABLE_NAMES_LISTED */ "Wine lists a host name holding a character no Windows name holds (: | \\) with that character; our layer leaves the entry out and says so on standard error",
    /* FILE_SIZE_LIMIT_ENDS_PROGRAM */ "Wine leaves SIGXFSZ to end the program at a write past the file size limit; our layer ignores it, so that the write fails as WriteFile does",
};
static_assert(sizeof REASONS / sizeof REASONS[0] == FILE_SIZE_LIMIT_ENDS_PROGRAM + 1, "a reason for every difference");

bool on_wine()
{
    const char* launcher = getenv("ORVA_LAUNCHER");
    return launcher != nullptr && *launcher != '\0';
}

bool differs(Difference)
{
    return on_wine();
}

const char* reason(Difference difference)
{
    return REASONS[difference];
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
