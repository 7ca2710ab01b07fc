// The tree display (/T): one line per entry with the connecting lines of its layers.
//
// Whether an entry is the last of its directory is known only from the look-ahead
// search, which runs one entry ahead of the layer's own search and counts every entry it
// meets, also those the filters will refuse.
#include "report/tree_display.h"

#include <cstdio>
#include <cstring>

#include "console/date_display.h"
#include "console/number_format.h"
#include "messages/messages.h"
#include "text/multibyte.h"
#include "time/file_time.h"

TreeMargin tree_margin = {{}, 1, 0, {}};

int advance_lookahead(uint8_t* more)
{
    LookaheadRecord* lookahead = walk.current_lookahead;
    lookahead->lookahead_advanced = 1;
    const int found = FindNextFileA(lookahead->search_handle, &lookahead->find_data) ? 1 : 0;
    more[walk.depth] = static_cast<uint8_t>(found);
    return found;
}

// The 8.3 name in its 12-character field: the name from column 1, the '.' and the
// extension from column 9. A name longer than its part of the field widens it.
static void print_short_name_field(const char* name)
{
    const char* dot = find_char(name, '.');
    const int base_length = dot != nullptr ? static_cast<int>(dot - name) : static_cast<int>(strlen(name));
    fwrite(name, 1, static_cast<size_t>(base_length), stdout);
    printf("%*s", base_length < 8 ? 8 - base_length : 0, "");
    const int extension_length = dot != nullptr ? static_cast<int>(strlen(dot)) : 0;
    fwrite(dot != nullptr ? dot : "", 1, static_cast<size_t>(extension_length), stdout);
    printf("%*s", extension_length < 4 ? 4 - extension_length : 0, "");
}

void draw_tree_prefix(uint8_t* more)
{
    // The first line stands at the left edge whatever its layer: with /P it may lie deep
    // below layer 0, whose columns would lead nowhere.
    if (tree_margin.first_tree_line) {
        tree_margin.first_tree_line = 0;
        fputs(advance_lookahead(more) ? MSG_TREE_FIRST_MORE : MSG_TREE_FIRST_ALONE, stdout);
    } else {
        for (int layer = 0; layer < walk.depth; layer++)
            fputs(more[layer] ? MSG_TREE_COLUMN : MSG_TREE_NO_COLUMN, stdout);
        fputs(advance_lookahead(more) ? MSG_TREE_MORE : MSG_TREE_LAST, stdout);
    }
    if (settings.list_mode & 1)
        fputs(walk.source_name, stdout);
    else
        print_short_name_field(walk.short_name);
}

static void print_entry_facts(const WIN32_FIND_DATAA& entry)
{
    fputs(MSG_TREE_NAME_GAP, stdout);
    print_attributes(entry.dwFileAttributes);
    fputc(' ', stdout);
    print_date(file_time_value(entry.ftLastWriteTime));
    print_time(file_time_value(entry.ftLastWriteTime), ' ');
}

int tree_entry()
{
    walk.pause_counter++;
    const WIN32_FIND_DATAA& entry = walk.current_level->find_data;
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        draw_tree_prefix(tree_margin.more);
        print_entry_facts(entry);
        print_size_field(entry.nFileSizeLow, entry.nFileSizeHigh, entry.dwFileAttributes, 1);
        fputc('\n', stdout);
        return 1;
    }
    const int open = tree_margin.tree_open_count;
    if (open > 0 && tree_margin.open_layers[open - 1] == walk.depth) {
        // The call after the directory's contents: the columns of its layers end here.
        tree_margin.tree_open_count--;
        memset(tree_margin.more + walk.depth + 1, 0, sizeof tree_margin.more - static_cast<size_t>(walk.depth) - 1);
        return 1;
    }
    draw_tree_prefix(tree_margin.more);
    print_entry_facts(entry);
    if (walk.depth >= settings.layer_count)
        fputs(MSG_TREE_NOT_DISPLAYED, stdout);
    tree_margin.open_layers[open] = static_cast<int16_t>(walk.depth);
    tree_margin.tree_open_count++;
    fputc('\n', stdout);
    return 1;
}
