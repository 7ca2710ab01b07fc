// Where the Windows build under Wine and the Linux build differ by design, and why.
#pragma once

#include <string>

// Each difference the tests meet; expected/known_differences.txt gives the reason for each.
enum Difference {
    HASHED_SHORT_NAMES, ARCHIVE_ALWAYS_ON, ENGLISH_WITHOUT_CONSOLE, SLASH_KEPT_IN_ARGUMENTS,
    ARGUMENTS_READ_AS_UTF8, COMMAND_LINE_LIMIT, READ_ONLY_DIRECTORY_NOT_KEPT, SPECIAL_FILES_OPENED,
    DANGLING_LINKS_NOT_LISTED, ATTRIBUTES_WITHOUT_STORE_ACCEPTED, FAILED_DELETION_UNREPORTED,
    TIMES_OUTSIDE_SYSTEMTIME, PATHS_PAST_MAX_PATH, NAMES_READ_AS_UTF8, INTERPRETER_IS_CMD,
    HELP_WORDS_ARE_PATHS, UNSHOWABLE_NAMES_LISTED, FILE_SIZE_LIMIT_ENDS_PROGRAM,
};

// The program under test is the Windows build, started by a launcher (wine).
bool on_wine();
// The program under test shows this difference: the test then says what it gives instead.
bool differs(Difference difference);

// The Japanese text, or the English one where the program has no console.
std::string messages_in(const std::string& japanese, const std::string& english);
// The text with every 8.3 alias made from a long name (LONGFI~1 or LONG~F30) cut to its
// "~" under Wine, for a comparison of both sides.
std::string aliases_blurred(const std::string& text);
// aliases_blurred, and under Wine each file's attribute column at a line's start (a----r,
// ----h-) with its archive letter on, as Wine always shows it.
std::string blurred(const std::string& text);
