// Every option of the command line, with its letters, numbers, resets and refusals.
//
// Each option resets what it owns before reading its letters, so that options given
// later override earlier ones; the last operation option decides the operation.
#include "driver/options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver/dates.h"
#include "driver/numbers.h"
#include "driver/tokenizer.h"
#include "platform/platform.h"
#include "records/run_settings.h"
#include "text/multibyte.h"
#include "time/file_time.h"

// The bit of an attribute letter, 0 for a letter that names none.
static uint32_t attribute_bit(char letter)
{
    switch (upper_ascii(letter)) {
    case 'R': return FILE_ATTRIBUTE_READONLY;
    case 'H': return FILE_ATTRIBUTE_HIDDEN;
    case 'S': return FILE_ATTRIBUTE_SYSTEM;
    case 'D': return FILE_ATTRIBUTE_DIRECTORY;
    case 'A': return FILE_ATTRIBUTE_ARCHIVE;
    default: return 0;
    }
}

// /! /& /= /: : R H S A D add their bits, V is accepted and adds nothing.
static int read_attribute_mask(char** cursor, uint32_t* mask)
{
    *mask = 0;
    for (char* p = *cursor;; p++) {
        const uint32_t bit = attribute_bit(*p);
        if (bit == 0 && upper_ascii(*p) != 'V') {
            *cursor = p;
            return 1;
        }
        *mask |= bit;
    }
}

// /+ and /- : R H S A into their own mask, I turns confirmation off. D is no letter here.
static int read_attribute_change(char** cursor, uint32_t* mask)
{
    settings.operation = OP_ATTRIB;
    *mask = 0;
    for (char* p = *cursor;; p++) {
        const char letter = upper_ascii(*p);
        if (letter == 'I') {
            settings.confirm = 0;
        } else if (letter != 'D' && attribute_bit(letter) != 0) {
            *mask |= attribute_bit(letter);
        } else {
            *cursor = p;
            return 1;
        }
    }
}

static int read_help_request(char** cursor)
{
    settings.help_request = read_unsigned(cursor, 16);
    if (settings.help_request == 0)
        settings.help_request = HELP_SHOW;
    return 1;
}

// /A and /B: an E makes the bound inclusive, which also moves a missing time to the
// other end of the day.
static int read_date_bound(char** cursor, uint64_t* bound, uint32_t inclusive_flag, int mode_without_e,
                           int mode_with_e)
{
    settings.filter_flags &= ~inclusive_flag;
    int mode = mode_without_e;
    if (upper_ascii(**cursor) == 'E') {
        settings.filter_flags |= inclusive_flag;
        mode = mode_with_e;
        (*cursor)++;
    }
    if (!parse_date(bound, cursor, mode))
        return 0;
    settings.filter_flags |= DATE_RANGE_GIVEN;
    return 1;
}

// /C and /U. M cannot be combined with V or R, in either order.
static int read_copy(char** cursor, uint16_t operation)
{
    settings.operation = operation;
    settings.show_progress = 0;
    settings.confirm = 1;
    settings.two_second_tolerance = 0;
    settings.write_through = 0;
    for (char* p = *cursor;; p++) {
        switch (upper_ascii(*p)) {
        case '2': settings.two_second_tolerance = 1; break;
        case 'E': settings.continue_on_error = 1; break;
        case 'I': settings.confirm = 0; break;
        case 'P': settings.show_progress = 1; break;
        case 'S': break;
        case 'T': settings.write_through = 1; break;
        case 'M':
            if (settings.operation & (MOD_VERIFY | MOD_REMOVE_SOURCE))
                return 0;
            settings.operation |= MOD_MOVE;
            break;
        case 'R':
        case 'V':
            if (settings.operation & MOD_MOVE)
                return 0;
            settings.operation |= upper_ascii(*p) == 'R' ? MOD_REMOVE_SOURCE : MOD_VERIFY;
            break;
        default: *cursor = p; return 1;
        }
    }
}

static uint64_t current_system_time()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    FILETIME time;
    SystemTimeToFileTime(&now, &time);
    return file_time_value(time);
}

// /D: the I letter only directly after D; a date only when it starts like one.
static int read_set_date(char** cursor)
{
    settings.confirm = 1;
    settings.operation = OP_SET_DATE;
    if (upper_ascii(**cursor) == 'I') {
        settings.confirm = 0;
        (*cursor)++;
    }
    const char next = **cursor;
    if (is_decimal_digit(next) || next == ',' || next == '&')
        return parse_date(&settings.new_date, cursor, DATE_TIME_REQUIRED);
    settings.new_date = current_system_time();
    return 1;
}

// /F: D and N choose the engine (the later one wins); the hexadecimal start value
// follows I directly, and the letters go on after it.
static int read_crc(char** cursor)
{
    settings.show_progress = 0;
    settings.continue_on_error = 0;
    settings.confirm = 1;
    settings.crc32 = 0;
    settings.crc_initial_given = 0;
    settings.crc_polynomial = 0xA001;
    for (char* p = *cursor;;) {
        switch (upper_ascii(*p)) {
        case 'D':
            settings.crc32 = 1;
            settings.crc_polynomial = 0xEDB88320u;
            break;
        case 'E': settings.continue_on_error = 1; break;
        case 'N': settings.crc_polynomial = READ_TEST_ONLY; break;
        case 'P': settings.show_progress = 1; break;
        case 'I':
            p++;
            settings.crc_initial_given = 1;
            settings.crc_initial_value = read_unsigned(&p, 16);
            continue;
        default: *cursor = p; return 1;
        }
        p++;
    }
}

int append_name_list(char** list, char** cursor)
{
    const char* value = read_quoted_value(cursor);
    if (value == nullptr)
        return 0;
    const size_t old_length = *list == nullptr ? 0 : strlen(*list);
    const size_t value_length = strlen(value);
    char* grown = static_cast<char*>(realloc(*list, old_length + value_length + 2));
    if (grown == nullptr)
        return 0;
    grown[old_length] = ',';
    memcpy(grown + old_length + 1, value, value_length + 1);
    *list = grown;
    return 1;
}

static int read_delete(char** cursor)
{
    settings.confirm = 1;
    settings.operation = OP_DELETE;
    settings.show_progress = 0;
    for (char* p = *cursor;; p++) {
        switch (upper_ascii(*p)) {
        case 'E': settings.continue_on_error = 1; break;
        case 'I': settings.confirm = 0; break;
        case 'P': settings.show_progress = 1; break;
        case 'V': settings.operation |= MOD_VERIFY; break;
        default: *cursor = p; return 1;
        }
    }
}

// /S[T][n]: bytes without n; n is 0.5 or 1, 2, 4, 8, 16, 32 kilobytes.
static int read_size(char** cursor)
{
    settings.size_total_only = 0;
    settings.operation = OP_SIZE;
    if (upper_ascii(**cursor) == 'T') {
        settings.size_total_only = 1;
        (*cursor)++;
    }
    if (!is_decimal_digit(**cursor)) {
        settings.size_unit = 1;
        return 1;
    }
    const uint32_t kilobytes = read_unsigned(cursor, 10);
    if (**cursor == '.') {
        (*cursor)++;
        if (kilobytes != 0 || read_unsigned(cursor, 10) != 5)
            return 0;
        settings.size_unit = 512;
        return 1;
    }
    switch (kilobytes) {
    case 1: case 2: case 4: case 8: case 16: case 32:
        settings.size_unit = kilobytes * 1024;
        return 1;
    default:
        return 0;
    }
}

static int read_verify(char** cursor)
{
    settings.show_progress = 0;
    settings.two_second_tolerance = 0;
    settings.continue_on_error = 0;
    settings.verify_content = 1;
    settings.verify_size = 0;
    settings.verify_date = 0;
    settings.verify_show_all = 1;
    settings.verify_attr_mask = 0;
    settings.operation = OP_VERIFY;
    for (char* p = *cursor;; p++) {
        const char letter = upper_ascii(*p);
        switch (letter) {
        case '2': settings.two_second_tolerance = 1; break;
        case 'A': case 'H': case 'R': case 'S':
            settings.verify_attr_mask |= attribute_bit(letter);
            settings.verify_content = 0;
            break;
        case 'D':
            settings.verify_date = 1;
            settings.verify_content = 0;
            break;
        case 'E': settings.continue_on_error = 1; break;
        case 'L':
            settings.verify_size = 1;
            settings.verify_content = 0;
            break;
        case 'N': settings.verify_content = 0; break;
        case 'P': settings.show_progress = 1; break;
        case 'V': settings.verify_show_all = 0; break;
        default: *cursor = p; return 1;
        }
    }
}

// The interpreter the commands of /X run in: COMSPEC, else by the platform family.
static const char* command_interpreter_name()
{
    const char* comspec = getenv("COMSPEC");
    if (comspec != nullptr)
        return comspec;
    return (GetVersion() & 0x80000000u) == 0 ? "COMMAND.COM" : "CMD.EXE";
}

// /X: the command is kept where it stands in the argument; the current directory is
// taken now, since commands run where the program was started.
static int read_execute(char** cursor)
{
    settings.confirm = 1;
    settings.exec_quiet = 0;
    settings.exec_full_path = 0;
    settings.exec_double_dollar = 0;
    settings.operation = OP_EXECUTE;
    for (;; (*cursor)++) {
        const char letter = upper_ascii(**cursor);
        if (letter == 'A')
            settings.exec_full_path = 1;
        else if (letter == 'F')
            settings.exec_double_dollar = 1;
        else if (letter == 'I')
            settings.confirm = 0;
        else if (letter == 'N')
            settings.exec_quiet = 1;
        else
            break;
    }
    settings.exec_command = read_quoted_value(cursor);
    if (settings.exec_command == nullptr)
        return 0;
    const DWORD length = GetCurrentDirectoryA(sizeof settings.start_directory, settings.start_directory);
    if (length == 0 || length >= sizeof settings.start_directory)
        return 0;
    settings.command_interpreter = command_interpreter_name();
    return 1;
}

static int read_year_digits(char** cursor)
{
    const uint32_t digits = read_unsigned(cursor, 10);
    if (digits != 2 && digits != 4)
        return 0;
    settings.year_4_digits = digits == 4 ? 1 : 0;
    return 1;
}

static int read_layer_count(char** cursor)
{
    const uint32_t count = read_unsigned(cursor, 10);
    if (count > static_cast<uint32_t>(MAX_LAYER_COUNT))
        return 0;
    settings.layer_count = static_cast<int32_t>(count);
    return 1;
}

// The characters an option may begin with: '!' (the first after the blank) to 'y' (the Y
// option in lower case, the highest character any option takes). They keep the letters
// to printable ASCII: a blank, a control character or a byte above 0x7F (a lead byte
// among them) is refused as an unknown option is, before any letter is read.
static const char FIRST_OPTION_CHARACTER = '!';
static const char LAST_OPTION_CHARACTER = 'y';

int handle_option(char** cursor)
{
    (*cursor)++;
    const char option = **cursor;
    if (option < FIRST_OPTION_CHARACTER || option > LAST_OPTION_CHARACTER)
        return 0;
    if (is_decimal_digit(option))
        return read_layer_count(cursor);
    (*cursor)++;
    switch (upper_ascii(option)) {
    case '!': return read_attribute_mask(cursor, &settings.attr_none_of);
    case '&': return read_attribute_mask(cursor, &settings.attr_all_of);
    case '=':
    case ':': return read_attribute_mask(cursor, &settings.attr_any_of);
    case '+': return read_attribute_change(cursor, &settings.attr_to_add);
    case '-': return read_attribute_change(cursor, &settings.attr_to_remove);
    case '?': return read_help_request(cursor);
    case 'A': return read_date_bound(cursor, &settings.oldest_date, OLDEST_INCLUSIVE, DATE_END_OF_DAY, DATE_START_OF_DAY);
    case 'B': return read_date_bound(cursor, &settings.newest_date, NEWEST_INCLUSIVE, DATE_START_OF_DAY, DATE_END_OF_DAY);
    case 'C': return read_copy(cursor, OP_COPY);
    case 'U': return read_copy(cursor, OP_UPDATE);
    case 'D': return read_set_date(cursor);
    case 'E': settings.english = 1; return 1;
    case 'F': return read_crc(cursor);
    case 'I': return append_name_list(&settings.exclude_file_names, cursor);
    case 'O': return append_name_list(&settings.exclude_dir_names, cursor);
    case 'P':
        if (!append_name_list(&settings.include_dir_names, cursor))
            return 0;
        settings.included_dir_depth = 0;
        return 1;
    case 'W': return append_name_list(&settings.include_file_names, cursor);
    case 'L': settings.list_mode = static_cast<int32_t>(read_unsigned(cursor, 10)); return 1;
    case 'M':
        settings.pause_every = static_cast<int32_t>(read_unsigned(cursor, 10));
        if (settings.pause_every == 0)
            settings.pause_every = 24;
        return 1;
    case 'Q': settings.beep_count = static_cast<int32_t>(read_unsigned(cursor, 10)); return 1;
    case 'R': return read_delete(cursor);
    case 'S': return read_size(cursor);
    case 'T': settings.operation = OP_TREE; return 1;
    case 'V': return read_verify(cursor);
    case 'X': return read_execute(cursor);
    case 'Y': return read_year_digits(cursor);
    default: return 0;
    }
}
