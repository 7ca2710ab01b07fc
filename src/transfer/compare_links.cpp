// Links compared by their target text: after a copy (V), in verify and before /RV deletes.
#include "transfer/compare_links.h"

#include "messages/messages.h"
#include "records/walk_state.h"
#include "transfer/compare_blocks.h"
#include "walk/source_layer.h"

bool find_link_destination()
{
    return find_destination(0) || find_destination(FILE_ATTRIBUTE_DIRECTORY);
}

bool links_compared()
{
    return is_symbolic_link(walk.current_level->find_data) || is_symbolic_link(walk.dest_find_data);
}

void print_link_failure(LinkComparison outcome, const char* prefix)
{
    if (outcome == LINK_SOURCE_UNREADABLE)
        print_open_failure(MSG_CANNOT_OPEN_SOURCE, prefix, walk.source_path);
    else
        print_open_failure(MSG_CANNOT_OPEN_COMPARED, prefix, walk.dest_path);
}

int compare_link_entry(int newline_prefix)
{
    const LinkComparison outcome = compare_link_targets(walk.source_path, walk.dest_path);
    if (outcome == LINKS_SAME || outcome == LINKS_DIFFERENT)
        return outcome == LINKS_SAME ? 1 : 0;
    print_link_failure(outcome, newline_prefix ? "\n" : "");
    return -1;
}
