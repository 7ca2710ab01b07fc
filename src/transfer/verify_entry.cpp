// Verify: whether each entry's counterpart under the destination exists and agrees,
// by contents or by the chosen properties.
#include "transfer/verify_entry.h"

#include <cstdio>

#include "console/failure_exit.h"
#include "messages/messages.h"
#include "records/walk_state.h"
#include "time/file_time.h"
#include "transfer/compare_links.h"
#include "transfer/same_file.h"
#include "transfer/verify_content.h"
#include "transfer/verify_line.h"
#include "walk/name_forms.h"
#include "walk/source_layer.h"

// What property mode compares: N alone compares everything, any of A H R S L D only
// what it names.
struct VerifiedProperties {
    uint32_t attr_mask;
    bool size;
    bool date;
};

static VerifiedProperties chosen_properties()
{
    if (settings.verify_attr_mask == 0 && !settings.verify_size && !settings.verify_date)
        return {settings.verify_default_attrs, true, true};
    return {settings.verify_default_attrs & settings.verify_attr_mask, settings.verify_size != 0,
            settings.verify_date != 0};
}

// "attrib:" and four letters a s h r, each '-' where that attribute agrees.
static const char* attribute_difference_text(uint32_t differing)
{
    static char difference[32];
    snprintf(difference, sizeof difference, "%s%c%c%c%c", text(MSG_VERIFY_ATTRIBUTE_TEXT),
             differing & FILE_ATTRIBUTE_ARCHIVE ? 'a' : '-', differing & FILE_ATTRIBUTE_SYSTEM ? 's' : '-',
             differing & FILE_ATTRIBUTE_HIDDEN ? 'h' : '-', differing & FILE_ATTRIBUTE_READONLY ? 'r' : '-');
    return difference;
}

static uint32_t differing_attributes(uint32_t attr_mask)
{
    return (walk.current_level->find_data.dwFileAttributes ^ walk.dest_find_data.dwFileAttributes) & attr_mask;
}

// A source link agrees only with a link of the same target, in both modes. A link
// against a file or a directory, or against another target, is "different" as a whole:
// no size, date or attribute of the two names what differs, and the property texts
// would name one that may well agree. It has no contents to show figures for.
static int verify_link()
{
    const bool directory = (walk.current_level->find_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    start_verify_line(directory ? MSG_VERIFY_DIRECTORY_HEADER : MSG_VERIFY_FILE_HEADER);
    if (!find_link_destination())
        return report_discord(text(MSG_NOT_FOUND));
    const LinkComparison outcome = compare_link_targets(walk.source_path, walk.dest_path);
    if (outcome == LINKS_DIFFERENT)
        return report_discord(text(MSG_VERIFY_DIFFERENT));
    if (outcome != LINKS_SAME) {
        show_verify_header();
        print_link_failure(outcome, "\n");
        return failure_exit();
    }
    if (destination_is_source()) {
        show_verify_header();
        return refuse_own_source();
    }
    if (settings.verify_show_all) {
        show_verify_header();
        fputs(text(MSG_VERIFY_SAME), stdout);
    }
    // Counted as the walk counts it: a directory link is no file.
    if (!directory)
        settings.verified_count++;
    return 1;
}

static int verify_directory(const VerifiedProperties& chosen)
{
    start_verify_line(MSG_VERIFY_DIRECTORY_HEADER);
    if (!find_destination(FILE_ATTRIBUTE_DIRECTORY))
        return report_discord(text(MSG_NOT_FOUND));
    // A link holds neither what a directory nor what a file holds.
    if (is_symbolic_link(walk.dest_find_data))
        return report_discord(text(MSG_VERIFY_DIFFERENT));
    const Message* agreement = &MSG_VERIFY_EXISTS;
    if (!settings.verify_content) {
        const uint32_t differing = differing_attributes(chosen.attr_mask);
        if (differing != 0)
            return report_discord(text(MSG_VERIFY_ATTRIBUTES_DIFFERENT), attribute_difference_text(differing));
        agreement = &MSG_VERIFY_ATTRIBUTES_SAME;
    }
    if (settings.verify_show_all) {
        show_verify_header();
        fputs(text(*agreement), stdout);
    }
    return 1;
}

static bool dates_differ()
{
    const uint64_t source = file_time_value(walk.current_level->find_data.ftLastWriteTime);
    const uint64_t destination = file_time_value(walk.dest_find_data.ftLastWriteTime);
    if (!settings.two_second_tolerance)
        return source != destination;
    return (source > destination ? source - destination : destination - source) >= TIME_TOLERANCE_2S;
}

// Decides from the two directory records alone; no file is opened.
static int verify_file_properties(const VerifiedProperties& chosen)
{
    const WIN32_FIND_DATAA& source = walk.current_level->find_data;
    const bool sizes_differ = source.nFileSizeLow != walk.dest_find_data.nFileSizeLow ||
                              source.nFileSizeHigh != walk.dest_find_data.nFileSizeHigh;
    const char* size_text = chosen.size && sizes_differ ? text(MSG_VERIFY_SIZE_TEXT) : "";
    const char* date_text = chosen.date && dates_differ() ? text(MSG_VERIFY_DATE_TEXT) : "";
    const uint32_t differing = differing_attributes(chosen.attr_mask);
    const char* attribute_text = differing != 0 ? attribute_difference_text(differing) : "";
    if (*size_text != '\0' || *date_text != '\0' || *attribute_text != '\0')
        return report_discord(text(MSG_VERIFY_PROPERTIES_DIFFERENT), size_text, date_text, attribute_text);
    // One file by two routes agrees with itself in everything.
    if (destination_is_source()) {
        show_verify_header();
        return refuse_own_source();
    }
    if (settings.verify_show_all)
        fputs(text(MSG_VERIFY_SAME), stdout);
    settings.verified_count++;
    return 1;
}

static int verify_file(const VerifiedProperties& chosen)
{
    start_verify_line(MSG_VERIFY_FILE_HEADER);
    // Shown at once when it will be in any case: the progress figures follow it.
    if (settings.verify_show_all || (settings.show_progress && settings.verify_content))
        show_verify_header();
    if (!find_destination(walk.current_level->find_data.dwFileAttributes))
        return report_discord(text(MSG_NOT_FOUND));
    if (is_symbolic_link(walk.dest_find_data))
        return report_discord(text(MSG_VERIFY_DIFFERENT));
    return settings.verify_content ? verify_file_contents() : verify_file_properties(chosen);
}

int verify_entry()
{
    // Every entry counts toward the /M pause when all are shown, else only discords do.
    if (settings.verify_show_all)
        walk.pause_counter++;
    const VerifiedProperties chosen = chosen_properties();
    // A destination path that does not fit was reported; the entry is skipped.
    if (!build_dest_path())
        return 1;
    if (is_symbolic_link(walk.current_level->find_data))
        return verify_link();
    if (walk.current_level->find_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return verify_directory(chosen);
    return verify_file(chosen);
}
