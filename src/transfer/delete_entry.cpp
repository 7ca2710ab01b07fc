// Delete: removes the selected entries bottom-up (/R), with /RV a file only once it
// equals its destination, and the emptied source directories of a move.
#include "transfer/delete_entry.h"

#include <cstdio>

#include "console/failure_exit.h"
#include "console/prompts.h"
#include "console/standard_output.h"
#include "messages/messages.h"
#include "records/walk_state.h"
#include "transfer/compare_files.h"
#include "transfer/compare_links.h"
#include "transfer/delete_file.h"
#include "transfer/same_file.h"
#include "walk/name_forms.h"
#include "walk/source_layer.h"

// What /RV decided about the current file.
enum VerifyOutcome {
    VERIFY_EQUAL,
    VERIFY_FILE_STAYS,
    VERIFY_STOP,
};

static bool is_directory_entry()
{
    return (walk.current_level->find_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The parent's count goes down, so that a move empties a tree level by level upwards.
static int entry_removed()
{
    walk.current_level->entries_left--;
    fputs("\n", stdout);
    return 1;
}

int remove_directory(const char* path)
{
    // Only where the user confirms each entry and named the directory itself does a
    // directory that stays count as the entry's failure; otherwise skipped or
    // unselected entries inside it are the expected reason.
    const int failure = (settings.confirm && (settings.filter_flags & SOURCE_IS_DIRECTORY)) ? 0 : -1;
    // A failed query gives all ones and so takes this branch, where the path's trouble
    // shows.
    if ((GetFileAttributesA(path) & PROTECTING_ATTRIBUTES) != 0 && !SetFileAttributesA(path, 0)) {
        print_highlighted(stdout, text(MSG_CHANGE_DIRECTORY_PATH_ATTRIBUTES_FAILED), path);
        return failure;
    }
    if (!RemoveDirectoryA(path)) {
        print_highlighted(stdout, text(MSG_DELETE_DIRECTORY_FAILED), path);
        return failure;
    }
    return 1;
}

static void print_file_stays(const Message& lead, const Message& reason)
{
    fputs(text(lead), stdout);
    print_highlighted(stdout, "%s", text(reason));
    fputs("\n", stdout);
}

// /RV: the destination must be a file of the same size and the same bytes. A file that
// stays has its line ended here; a comparison that could not be made stops the run
// even with E, since the destination cannot vouch for anything after it.
static VerifyOutcome verify_against_destination()
{
    const WIN32_FIND_DATAA& source = walk.current_level->find_data;
    if (!build_dest_path())
        return failure_exit() ? VERIFY_FILE_STAYS : VERIFY_STOP;
    const bool found = is_symbolic_link(source) ? find_link_destination() : find_destination(source.dwFileAttributes);
    if (!found) {
        print_file_stays(MSG_DELETE_VERIFY_FILE, MSG_NOT_FOUND);
        return VERIFY_FILE_STAYS;
    }
    // Links are compared by target, whatever their records' sizes.
    if (!links_compared() && (source.nFileSizeHigh != walk.dest_find_data.nFileSizeHigh ||
                              source.nFileSizeLow != walk.dest_find_data.nFileSizeLow)) {
        print_file_stays(MSG_DELETE_VERIFY_FILE, MSG_DELETE_SIZE_DIFFERENT);
        return VERIFY_FILE_STAYS;
    }
    if (destination_is_source())
        return refuse_own_source() ? VERIFY_FILE_STAYS : VERIFY_STOP;
    switch (compare_files(0)) {
    case 1: fputs(text(MSG_DELETE_VERIFY_DONE), stdout); return VERIFY_EQUAL;
    case 0: print_file_stays(MSG_DELETE_VERIFY, MSG_DELETE_DIFFERENT); return VERIFY_FILE_STAYS;
    default: return VERIFY_STOP;
    }
}

static int delete_current_file(const char* path)
{
    const bool verifies = (settings.operation & MOD_VERIFY) != 0;
    if (verifies) {
        const VerifyOutcome outcome = verify_against_destination();
        if (outcome != VERIFY_EQUAL)
            return outcome == VERIFY_FILE_STAYS ? 1 : 0;
    }
    if (!delete_file(path))
        return failure_exit();
    // A directory link is an entry of the walk like a directory: it is not counted as a file.
    if (verifies && !is_directory_entry() && settings.verified_count != UINT32_MAX)
        settings.verified_count++;
    return entry_removed();
}

int delete_entry()
{
    const char* path = chosen_path();
    walk.pause_counter++;
    const bool directory = is_directory_entry();
    fputs(text(directory ? MSG_DELETE_DIRECTORY_HEADER : MSG_DELETE_FILE_HEADER), stdout);
    fputs(path, stdout);
    // The emptied directory of a move is removed without a question: its files were
    // confirmed one by one.
    if (base_operation() == OP_DELETE && settings.confirm) {
        const int answer = confirm_entry(text(MSG_PROMPT_DELETE));
        if (answer <= 0) {
            fputs("\n", stdout);
            return answer == 0 ? 1 : 0;
        }
    }
    // With V a directory link goes only once it is compared, as a file does.
    if (!directory || ((settings.operation & MOD_VERIFY) && is_symbolic_link(walk.current_level->find_data)))
        return delete_current_file(path);
    const int removed = remove_directory(path);
    if (removed == 1)
        return entry_removed();
    if (removed == -1) {
        fputs("\n", stdout);
        return 1;
    }
    return failure_exit();
}
