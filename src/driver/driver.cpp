// The driver: start-up, the argument scan, preparation, the walk and the exit code.
#include "driver/driver.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/standard_output.h"
#include "driver/help.h"
#include "driver/options.h"
#include "driver/tokenizer.h"
#include "messages/messages.h"
#include "records/console_state.h"
#include "records/run_settings.h"
#include "records/transfer_buffers.h"
#include "records/walk_state.h"
#include "report/size_summation.h"
#include "text/multibyte.h"
#include "transfer/create_directory.h"
#include "walk/destination_place.h"
#include "walk/paths.h"
#include "walk/source_layer.h"
#include "walk/walker.h"

// A path argument must leave room in its 1024-byte buffer for the '*' or '\' that is
// appended to it, and for the terminating zero; a source read as "..\" counts its '\'.
static const size_t PATH_ARGUMENT_LIMIT = PATH_BUFFER_SIZE - 2;

// Japanese for a Japanese console (code page 932), and for a UTF-8 console whose user
// reads Japanese: UTF-8 serves every language, so the code page alone cannot tell. A
// program without a console (code page 0) speaks English.
static int english_for_console(UINT code_page, LANGID user_language)
{
    const bool japanese_user = PRIMARYLANGID(user_language) == LANG_JAPANESE;
    return code_page == 932 || (code_page == CP_UTF8 && japanese_user) ? 0 : 1;
}

static void choose_language()
{
    const UINT code_page = GetConsoleOutputCP();
    settings.english = english_for_console(code_page, GetUserDefaultUILanguage());
    settings.utf8_console = code_page == CP_UTF8;
}

void start_up()
{
    // Ctrl+C must not end the run: it reaches the program as a key.
    signal(SIGINT, SIG_IGN);
    choose_language();
    capture_console();
    reset_walk_state();
}

static void report_refused(const char* argument)
{
    printf(text(MSG_PARAMETER_ERROR), argument);
    char path[PATH_BUFFER_SIZE];
    if (windows_form_of_host_path(argument, path, sizeof path))
        printf(text(MSG_HOST_PATH_AS_ARGUMENT), path);
    fputs(text(MSG_USE_HELP_OPTION), stdout);
}

int scan_arguments(int argc, char** argv)
{
    int parameters_ok = 1;
    int paths_kept = 0;
    for (int i = 1; i < argc; i++) {
        char* argument = argv[i];
        const HostRequest request = host_request(argument);
        if (request == HOST_REQUEST_HELP) {
            settings.help_request = HELP_SHOW;  // what /? sets
            continue;
        }
        if (request == HOST_REQUEST_VERSION) {
            settings.version_request = 1;
            continue;
        }
        if (argument[0] == SWITCH_CHARACTER) {
            if (!scan_switch_argument(argument, handle_option)) {
                report_refused(argument);
                parameters_ok = 0;
            }
            continue;
        }
        if (paths_kept == 2)
            continue;
        const size_t length = paths_kept == 0 ? source_text_length(argument) : strlen(argument);
        if (length > PATH_ARGUMENT_LIMIT) {
            report_refused(argument);
            parameters_ok = 0;
        }
        (paths_kept == 0 ? settings.source_arg : settings.destination_arg) = argument;
        paths_kept++;
    }
    return parameters_ok;
}

static void print_debug_paths()
{
    fprintf(stderr, MSG_DEBUG_PATHS, settings.source_arg ? settings.source_arg : "",
            settings.destination_arg ? settings.destination_arg : "");
}

// Refuses a destination that is the source by any route, and one inside the source where
// the walk would reach its own copies; both before anything is made at the destination.
static bool destination_is_apart()
{
    const DestinationPlace place = destination_place(walk.dest_path);
    if (place == DESTINATION_IS_SOURCE && base_operation() != OP_VERIFY) {
        fputs(text(MSG_SAME_DIRECTORY), stdout);
        return false;
    }
    if (place == DESTINATION_INSIDE_SOURCE && copies_files()) {
        fputs(text(MSG_DESTINATION_INSIDE_SOURCE), stdout);
        return false;
    }
    return true;
}

// The destination root: the argument with a '\' appended (the directory created first
// for a copy), or the empty text for the current directory. False ends the run.
static bool prepare_destination()
{
    walk.dest_path[0] = '\0';
    if (settings.destination_arg != nullptr)
        strcpy(walk.dest_path, settings.destination_arg);
    if (!destination_is_apart())
        return false;
    const char* last = last_char(walk.dest_path);
    if (last != nullptr && *last != ':' && *last != '\\') {
        if (copies_files() && !find_destination(FILE_ATTRIBUTE_DIRECTORY) &&
            !create_directory(nullptr, FILE_ATTRIBUTE_DIRECTORY, 1))
            return false;
        strcat(walk.dest_path, "\\");
    }
    walk.dest_root_length = static_cast<uint32_t>(last_component(walk.dest_path) - walk.dest_path);
    return true;
}

static bool allocate_buffers()
{
    const bool needs_io = settings.crc_polynomial != 0 || uses_destination();
    const bool needs_compare = base_operation() == OP_VERIFY || (settings.operation & MOD_VERIFY);
    if (needs_io)
        io_buffer = static_cast<unsigned char*>(malloc(IO_BUFFER_SIZE));
    if (needs_compare)
        compare_buffer = static_cast<unsigned char*>(malloc(IO_BUFFER_SIZE));
    if ((needs_io && io_buffer == nullptr) || (needs_compare && compare_buffer == nullptr)) {
        fputs(MSG_OUT_OF_MEMORY, stdout);
        return false;
    }
    return true;
}

// Everything between the scan and the end of the run, for a run that goes ahead.
static void run_operation(int argc, char** argv)
{
    if (settings.help_request & HELP_PARAMETERS)
        print_parameters(argc, argv);
    const bool debug = getenv("orvadebug") != nullptr;
    if (debug)
        print_debug_paths();
    remove_quotes(settings.source_arg);
    remove_quotes(settings.destination_arg);
    if (debug)
        print_debug_paths();
    prepare_source_layer();
    if (uses_destination() && !prepare_destination())
        return;
    if (!allocate_buffers())
        return;
    searches_read_file_attributes(reads_file_attributes());
    walk_source();
}

static void release_resources()
{
    char** lists[] = {&settings.exclude_file_names, &settings.exclude_dir_names, &settings.include_dir_names,
                      &settings.include_file_names};
    for (char** list : lists) {
        free(*list);
        *list = nullptr;
    }
    free(io_buffer);
    free(compare_buffer);
    io_buffer = nullptr;
    compare_buffer = nullptr;
}

int exit_code()
{
    if (settings.exit_status == EXIT_ERROR)
        return EXIT_ERROR;
    uint64_t count = settings.operated_count;
    if (base_operation() == OP_SIZE)
        count = settings.size_total;
    else if (base_operation() == OP_VERIFY || is_delete_after_verify())
        count = settings.verified_count;
    return count >= static_cast<uint64_t>(EXIT_CAP) ? EXIT_CAP : static_cast<int>(count);
}

int run_program(int argc, char** argv)
{
    start_up();
    const int parameters_ok = scan_arguments(argc, argv);
    set_unshown_name_line(text(MSG_UNSHOWN_NAME_LEFT));
    // The version line is the help's first line, so with both the help alone answers;
    // either shows despite a refused option, and the run ends with exit code 0.
    if (settings.help_request & HELP_SHOW)
        print_help();
    else if (settings.version_request)
        print_version();
    else if (!parameters_ok)
        settings.exit_status = EXIT_ERROR;
    else
        run_operation(argc, argv);

    release_resources();
    // /ST shows its total once, here, unless the run failed before the walk.
    if (settings.exit_status == 0 && base_operation() == OP_SIZE && settings.size_total_only) {
        settings.size_total_only = 0;
        add_and_print_size(0);
        fputs("\n", stdout);
    }
    highlight_off(console.output_handle);
    // The output is only known to be written once the last of it has left the buffer. A
    // run ended from outside says nothing more: after "orva | head" the pipe is closed.
    if ((fflush(stdout) != 0 || output_lost()) && !termination_requested()) {
        fputs(text(MSG_OUTPUT_LOST), stderr);
        settings.exit_status = EXIT_ERROR;
    }
    return exit_code();
}
