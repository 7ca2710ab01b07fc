// Every text the program prints, in English and in Japanese.
//
// The texts are defined in the files beside this one, the two languages side by side;
// those files are compiled to CP932, so the Japanese texts are the bytes a Japanese
// console shows. Each Japanese text is written once, through JAPANESE(), which also
// keeps the compiler's UTF-8 form of the same literal for a console whose code page is
// UTF-8. `english` and `utf8_console` in the run settings choose between the forms.
#pragma once

#include "records/run_settings.h"

// A Japanese literal as CP932 (the files' execution character set) and as UTF-8 (a u8
// literal is UTF-8 whatever that set is).
#define JAPANESE(literal) literal, u8##literal

struct Message {
    const char* english;
    const char* japanese;
    const char8_t* japanese_utf8;
};

struct JapaneseText {
    const char* cp932;
    const char8_t* utf8;
};

// The Japanese text in the console's code page.
inline const char* japanese_text(const char* cp932, const char8_t* utf8)
{
    return settings.utf8_console ? reinterpret_cast<const char*>(utf8) : cp932;
}

// The text of the language in force.
inline const char* text(const Message& message)
{
    return settings.english ? message.english : japanese_text(message.japanese, message.japanese_utf8);
}

// The program's name and version, as the help shows them.
extern const char* const VERSION_TEXT;

// Driver.
extern const Message MSG_PARAMETER_ERROR;
extern const Message MSG_HOST_PATH_AS_ARGUMENT;
extern const Message MSG_USE_HELP_OPTION;
extern const Message MSG_SAME_DIRECTORY;
extern const Message MSG_DESTINATION_INSIDE_SOURCE;
extern const char* const MSG_OUT_OF_MEMORY;
extern const Message MSG_OUTPUT_LOST;
extern const char* const MSG_PARAMETERS_HEAD;
extern const char* const MSG_PARAMETER_ITEM;
extern const char* const MSG_DEBUG_PATHS;

// Walk.
extern const Message MSG_SOURCE_NOT_FOUND;
extern const Message MSG_PATH_TOO_LONG;
extern const char* const MSG_FIND_CLOSE_FAILED;
extern const Message MSG_UNSHOWN_NAME_LEFT;

// Console.
extern const Message MSG_ABORT_BY_USER;
extern const char* const MSG_BELL;
extern const Message MSG_PROMPT_UPDATE;
extern const Message MSG_PROMPT_CREATE;
extern const Message MSG_PROMPT_DELETE;
extern const Message MSG_PROMPT_EXECUTE;

// Listing.
extern const Message MSG_CANNOT_OPEN_FILE;
extern const Message MSG_READ_FILE_FAILED;
extern const Message MSG_CLOSE_FILE_FAILED;
extern const Message MSG_CRC_COMPUTING;
extern const Message MSG_READ_TESTING;
extern const char* const MSG_PROGRESS_LABEL;
extern const char* const MSG_PROGRESS_FIGURE;
extern const char* const MSG_SPEED_COLUMN;
extern const char* const MSG_SPEED_UNKNOWN;

// Directory creation.
extern const Message MSG_CREATE_DIRECTORY;
extern const Message MSG_CANNOT_CREATE_DIRECTORY;
extern const Message MSG_CHANGE_DIRECTORY_ATTRIBUTES_FAILED;

// Copy, update and move; the content comparison; the file deletion.
extern const Message MSG_CREATE_FILE_HEADER;
extern const Message MSG_MOVE_FILE_HEADER;
extern const Message MSG_UPDATE_FILE_HEADER;
extern const Message MSG_COPY_VERIFY;
extern const Message MSG_COPY_DONE;
extern const Message MSG_COPY_DIFFERENT;
extern const Message MSG_DELETE_SOURCE_FILE;
extern const char* const MSG_FINAL_FIGURE;
extern const char* const MSG_FINAL_FIGURE_UNMEASURED;
extern const Message MSG_GET_DIRECTORY_ATTRIBUTES_FAILED;
extern const Message MSG_MOVE_FILE_FAILED;
extern const Message MSG_CANNOT_OPEN_WRITTEN;
extern const Message MSG_WRITE_DESTINATION_FAILED;
extern const Message MSG_SEEK_SOURCE_FAILED;
extern const Message MSG_CHANGE_DESTINATION_DATE_FAILED;
extern const Message MSG_GET_DESTINATION_DATE_FAILED;
extern const Message MSG_CLOSE_WRITTEN_FAILED;
extern const Message MSG_CHANGE_DESTINATION_ATTRIBUTES_FAILED;
extern const Message MSG_CANNOT_OPEN_SOURCE;
extern const Message MSG_CANNOT_OPEN_COMPARED;
extern const Message MSG_READ_SOURCE_FAILED;
extern const Message MSG_READ_DESTINATION_FAILED;
extern const Message MSG_CLOSE_COMPARED_FAILED;
extern const Message MSG_CLOSE_SOURCE_FAILED;
extern const Message MSG_CHANGE_FILE_ATTRIBUTES_FAILED;
extern const Message MSG_DELETE_FILE_FAILED;
extern const Message MSG_SAME_FILE;

// Verify.
extern const Message MSG_VERIFY_DIRECTORY_HEADER;
extern const Message MSG_VERIFY_FILE_HEADER;
extern const Message MSG_VERIFY_EXISTS;
extern const Message MSG_VERIFY_ATTRIBUTES_SAME;
extern const Message MSG_VERIFY_SAME;
extern const Message MSG_VERIFY_ATTRIBUTES_DIFFERENT;
extern const Message MSG_VERIFY_DIFFERENT;
extern const Message MSG_VERIFY_PROPERTIES_DIFFERENT;
extern const Message MSG_VERIFY_SIZE_TEXT;
extern const Message MSG_VERIFY_DATE_TEXT;
extern const Message MSG_VERIFY_ATTRIBUTE_TEXT;

// Delete.
extern const Message MSG_DELETE_FILE_HEADER;
extern const Message MSG_DELETE_DIRECTORY_HEADER;
extern const Message MSG_DELETE_VERIFY_FILE;
extern const Message MSG_NOT_FOUND;
extern const Message MSG_DELETE_SIZE_DIFFERENT;
extern const Message MSG_DELETE_VERIFY;
extern const Message MSG_DELETE_DIFFERENT;
extern const Message MSG_DELETE_VERIFY_DONE;
extern const Message MSG_CHANGE_DIRECTORY_PATH_ATTRIBUTES_FAILED;
extern const Message MSG_DELETE_DIRECTORY_FAILED;

// Tree.
extern const char* const MSG_TREE_FIRST_MORE;
extern const char* const MSG_TREE_FIRST_ALONE;
extern const char* const MSG_TREE_MORE;
extern const char* const MSG_TREE_LAST;
extern const char* const MSG_TREE_COLUMN;
extern const char* const MSG_TREE_NO_COLUMN;
extern const char* const MSG_TREE_NAME_GAP;
extern const char* const MSG_TREE_NOT_DISPLAYED;

// Attribute and date change.
extern const Message MSG_CHANGE_ATTRIBUTES_FAILED;
extern const Message MSG_DATE_CANNOT_OPEN;
extern const Message MSG_CHANGE_DATE_FAILED;
extern const Message MSG_DATE_CLOSE_FAILED;
extern const char* const MSG_DATE_CHANGE_LINE;

// Command execution.
extern const Message MSG_COMMAND_TOO_LONG;
extern const char* const MSG_COMMAND_START_FAILED;
extern const Message MSG_COMMAND_NOT_FOUND;
extern const Message MSG_COMMAND_ARGUMENTS_TOO_LONG;
extern const Message MSG_COMMAND_NOT_EXECUTABLE;
extern const Message MSG_COMMAND_NO_MEMORY;
extern const Message MSG_COMMAND_INVALID_MODE;
extern const Message MSG_COMMAND_UNKNOWN_ERROR;

// Size summation.
extern const char* const MSG_SIZE_BYTES;
extern const char* const MSG_SIZE_CLUSTERS;
extern const char* const MSG_SIZE_HALF_KBYTES;
extern const char* const MSG_SIZE_KBYTES;

// Help: one formatted print per item; the first item takes the version.
extern const char* const HELP_ENGLISH[];
extern const int HELP_ENGLISH_COUNT;
extern const JapaneseText HELP_JAPANESE[];
extern const int HELP_JAPANESE_COUNT;
