// Copy, update and move: what happens to each entry before any byte is moved.
#include "transfer/copy_entry.h"

#include <cstdio>

#include "console/failure_exit.h"
#include "console/prompts.h"
#include "console/standard_output.h"
#include "messages/messages.h"
#include "records/walk_state.h"
#include "time/file_time.h"
#include "transfer/compare_blocks.h"
#include "transfer/copy_file.h"
#include "transfer/copy_link.h"
#include "transfer/create_directory.h"
#include "transfer/delete_file.h"
#include "transfer/missing_directories.h"
#include "transfer/same_file.h"
#include "walk/name_forms.h"
#include "walk/source_layer.h"

static int copy_file_entry();

// A directory is created before its contents are walked, with its source's attributes.
static int copy_directory()
{
    const WIN32_FIND_DATAA& entry = walk.current_level->find_data;
    // With /!D destination directories appear only where a file needs one.
    if (settings.attr_none_of & FILE_ATTRIBUTE_DIRECTORY)
        return 1;
    // A directory link is made again as a link, with the lines of a file.
    if (is_symbolic_link(entry))
        return copy_file_entry();
    if (!build_dest_path())
        return failure_exit();
    if (find_destination(FILE_ATTRIBUTE_DIRECTORY))
        return 1;
    // Its contents will not be walked, so it would stay empty.
    if (walk.depth >= settings.layer_count)
        return 1;
    return create_directory(walk.source_path, entry.dwFileAttributes, 1) ? 1 : failure_exit();
}

// The update rule: whether the source is newer than the existing destination, by at
// least two seconds with the 2 letter.
static bool source_is_newer()
{
    const uint64_t source = file_time_value(walk.current_level->find_data.ftLastWriteTime);
    const uint64_t destination = file_time_value(walk.dest_find_data.ftLastWriteTime);
    if (settings.two_second_tolerance)
        return source >= destination + TIME_TOLERANCE_2S;
    return source > destination;
}

// The prompt after the header: 1 = go ahead; otherwise *result is the entry's result.
static int confirmed(const Message& prompt, int* result)
{
    if (!settings.confirm)
        return 1;
    const int answer = confirm_entry(text(prompt));
    if (answer == 1)
        return 1;
    fputs("\n", stdout);
    *result = answer == 0 ? 1 : 0;
    return 0;
}

// Whether the source is there still, before the old destination goes for a move or a
// link: it may have gone while the prompt waited, and then the old copy stays.
static bool source_still_there()
{
    if (GetFileAttributesA(walk.source_path) != INVALID_FILE_ATTRIBUTES)
        return true;
    print_highlighted(stdout, text(MSG_MOVE_FILE_FAILED), walk.source_path, walk.dest_path);
    return false;
}

// The old destination goes, then the directories on the way are made.
static bool make_way(bool replaces)
{
    return (!replaces || delete_file(walk.dest_path)) && create_missing_directories();
}

static int move_file(bool replaces)
{
    if ((replaces && !source_still_there()) || !make_way(replaces))
        return failure_exit();
    if (!MoveFileA(walk.source_path, walk.dest_path)) {
        print_highlighted(stdout, text(MSG_MOVE_FILE_FAILED), walk.source_path, walk.dest_path);
        return failure_exit();
    }
    walk.current_level->entries_left--;
    fputs("\n", stdout);
    return 1;
}

static int replace_by_link(bool replaces)
{
    if ((replaces && !source_still_there()) || !make_way(replaces))
        return failure_exit();
    return copy_link();
}

// The source is opened before the old destination goes: a source that cannot be read
// (no permission, gone while the prompt waited) leaves the old copy as it was.
static int replace_by_copy(bool replaces)
{
    HANDLE source = open_for_reading(walk.source_path);
    if (source == INVALID_HANDLE_VALUE) {
        print_open_failure(MSG_CANNOT_OPEN_SOURCE, "\n", walk.source_path);
        return failure_exit();
    }
    if (!make_way(replaces)) {
        CloseHandle(source);
        return failure_exit();
    }
    return copy_file(source);
}

static int copy_file_entry()
{
    if (!build_dest_path())
        return failure_exit();
    const bool link = is_symbolic_link(walk.current_level->find_data);
    const bool exists =
        link ? link_destination_exists() : find_destination(walk.current_level->find_data.dwFileAttributes) != 0;
    if (exists && base_operation() == OP_UPDATE && (link_is_up_to_date() || !source_is_newer()))
        return 1;
    const bool moves = (settings.operation & MOD_MOVE) != 0;
    int result = 1;
    if (exists) {
        printf("%s%s", text(MSG_UPDATE_FILE_HEADER), walk.dest_path);
        if (destination_is_source())
            return refuse_own_source();
        if (!confirmed(MSG_PROMPT_UPDATE, &result))
            return result;
    } else {
        printf("%s%s", text(moves ? MSG_MOVE_FILE_HEADER : MSG_CREATE_FILE_HEADER), walk.dest_path);
        if (!confirmed(MSG_PROMPT_CREATE, &result))
            return result;
    }
    // The old file goes before the new one is made, also for a move.
    if (moves)
        return move_file(exists);
    return link ? replace_by_link(exists) : replace_by_copy(exists);
}

int copy_entry()
{
    walk.pause_counter++;
    if (walk.current_level->find_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return copy_directory();
    return copy_file_entry();
}

void finish_copied_directory()
{
    if (build_dest_path())
        finish_directory_copy(walk.source_path, walk.dest_path);
}
