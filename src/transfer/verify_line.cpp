// The header and discord lines of the verify operation.
#include "transfer/verify_line.h"

#include <cstdio>

#include "console/prompts.h"
#include "console/standard_output.h"
#include "records/walk_state.h"

static const Message* line_header = nullptr;
static bool header_shown = false;

void start_verify_line(const Message& header)
{
    line_header = &header;
    header_shown = false;
}

void show_verify_header()
{
    if (header_shown)
        return;
    printf(text(*line_header), walk.dest_path);
    header_shown = true;
}

int report_discord(const char* format, const char* first, const char* second, const char* third)
{
    show_verify_header();
    // Formats with fewer than three strings leave the rest unread.
    print_highlighted(stdout, format, first, second, third);
    fputs("\n", stdout);
    beep();
    if (!settings.verify_show_all)
        walk.pause_counter++;
    return 1;
}
