// Every text the program prints, in English and in Japanese.
//
// The texts are defined in the files beside this one, the two languages side by side;
// those files are compiled to CP932, so the Japanese texts are the bytes a Japanese
// console shows. `english` in the run settings chooses between them when printing.
#pragma once

#include "driver/run_settings.h"

struct Message {
    const char* english;
    const char* japanese;
};

// The text of the language in force.
inline const char* text(const Message& message)
{
    return settings.english ? message.english : message.japanese;
}

// The program's name and version, as the help shows them.
extern const char* const VERSION_TEXT;

// Driver.
extern const Message MSG_PARAMETER_ERROR;
extern const Message MSG_USE_HELP_OPTION;
extern const Message MSG_SAME_DIRECTORY;
extern const char* const MSG_OUT_OF_MEMORY;
extern const char* const MSG_PARAMETERS_HEAD;
extern const char* const MSG_PARAMETER_ITEM;
extern const char* const MSG_DEBUG_PATHS;

// Walk.
extern const Message MSG_SOURCE_NOT_FOUND;
extern const char* const MSG_FIND_CLOSE_FAILED;

// Directory creation.
extern const Message MSG_CREATE_DIRECTORY;
extern const Message MSG_CANNOT_CREATE_DIRECTORY;
extern const Message MSG_CHANGE_DIRECTORY_ATTRIBUTES_FAILED;

// Size summation.
extern const char* const MSG_SIZE_BYTES;
extern const char* const MSG_SIZE_CLUSTERS;
extern const char* const MSG_SIZE_HALF_KBYTES;
extern const char* const MSG_SIZE_KBYTES;

// Help: one formatted print per item; the first item takes the version.
extern const char* const HELP_ENGLISH[];
extern const int HELP_ENGLISH_COUNT;
extern const char* const HELP_JAPANESE[];
extern const int HELP_JAPANESE_COUNT;
