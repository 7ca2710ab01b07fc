// Printing the help, the version line and the parameter line.
#include "driver/help.h"

#include <cstdio>

#include "messages/messages.h"

static const char* help_line(int index)
{
    if (settings.english)
        return HELP_ENGLISH[index];
    return japanese_text(HELP_JAPANESE[index].cp932, HELP_JAPANESE[index].utf8);
}

void print_help()
{
    const int count = settings.english ? HELP_ENGLISH_COUNT : HELP_JAPANESE_COUNT;
    for (int i = 0; i < count; i++)
        printf(help_line(i), VERSION_TEXT);
}

void print_version()
{
    printf(help_line(0), VERSION_TEXT);
}

void print_parameters(int argc, char** argv)
{
    fputs(MSG_PARAMETERS_HEAD, stderr);
    for (int i = 1; i < argc; i++)
        fprintf(stderr, MSG_PARAMETER_ITEM, argv[i]);
    fputs("\n", stderr);
}
