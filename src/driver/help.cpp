// Printing the help and the parameter line.
#include "driver/help.h"

#include <cstdio>

#include "messages/messages.h"

void print_help()
{
    const char* const* items = settings.english ? HELP_ENGLISH : HELP_JAPANESE;
    const int count = settings.english ? HELP_ENGLISH_COUNT : HELP_JAPANESE_COUNT;
    for (int i = 0; i < count; i++)
        printf(items[i], VERSION_TEXT);
}

void print_parameters(int argc, char** argv)
{
    fputs(MSG_PARAMETERS_HEAD, stderr);
    for (int i = 1; i < argc; i++)
        fprintf(stderr, MSG_PARAMETER_ITEM, argv[i]);
    fputs("\n", stderr);
}
