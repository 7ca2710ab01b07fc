// The copy of one link: the link made again at the destination, compared, and the
// source link deleted after it, as a file copy does.
#include "transfer/copy_link.h"

#include <cstdio>

#include "console/failure_exit.h"
#include "console/standard_output.h"
#include "messages/messages.h"
#include "records/walk_state.h"
#include "transfer/compare_links.h"
#include "transfer/copy_file.h"
#include "transfer/delete_file.h"

bool link_destination_exists()
{
    if (!find_link_destination())
        return false;
    return !(walk.dest_find_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || is_symbolic_link(walk.dest_find_data);
}

bool link_is_up_to_date()
{
    return is_symbolic_link(walk.current_level->find_data) && is_symbolic_link(walk.dest_find_data) &&
           compare_link_targets(walk.source_path, walk.dest_path) == LINKS_SAME;
}

static bool make_link()
{
    if (copy_symbolic_link(walk.source_path, walk.dest_path))
        return true;
    const DWORD code = GetLastError();
    print_highlighted(stdout, text(MSG_CANNOT_OPEN_WRITTEN), walk.dest_path, static_cast<int>(code),
                      static_cast<unsigned long>(code));
    return false;
}

static bool remove_source_link()
{
    fputs(text(MSG_DELETE_SOURCE_FILE), stdout);
    if (!delete_file(walk.source_path))
        return false;
    walk.current_level->entries_left--;
    return true;
}

int copy_link()
{
    if (!make_link())
        return failure_exit();
    if ((settings.operation & MOD_VERIFY) && !verify_copy())
        return failure_exit();
    if ((settings.operation & MOD_REMOVE_SOURCE) && !remove_source_link())
        return failure_exit();
    fputs("\n", stdout);
    return 1;
}
