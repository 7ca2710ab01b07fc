// Comparing a source with its destination by identity, not by path text: one file reached
// by two routes compares equal to itself, and replacing it deletes the source.
#include "transfer/same_file.h"

#include "console/failure_exit.h"
#include "console/standard_output.h"
#include "messages/messages.h"
#include "records/walk_state.h"

bool destination_is_source()
{
    return same_entry(walk.source_path, walk.dest_path);
}

int refuse_own_source()
{
    print_highlighted(stdout, text(MSG_SAME_FILE), walk.dest_path);
    return failure_exit();
}
