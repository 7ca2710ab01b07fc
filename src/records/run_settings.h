// RunSettings: every setting the command line makes, and the run's counters.
//
// One process-wide record with static storage. Its member initialisers are the defaults
// the record holds before the first option is read; the option handler fills it, and
// from then on every part of the program reads it.
#pragma once

#include <cstdint>

// Operation codes: a run performs exactly one of them.
const uint16_t OP_LIST = 0x0001;
const uint16_t OP_ATTRIB = 0x0002;
const uint16_t OP_SIZE = 0x0004;
const uint16_t OP_TREE = 0x0008;
const uint16_t OP_DELETE = 0x0010;
const uint16_t OP_COPY = 0x0020;
const uint16_t OP_UPDATE = 0x0040;
const uint16_t OP_VERIFY = 0x0080;
const uint16_t OP_SET_DATE = 0x0800;
const uint16_t OP_EXECUTE = 0x8000;

// Modifier bits that letters add to the operation code.
const uint16_t MOD_VERIFY = 0x1000;
const uint16_t MOD_REMOVE_SOURCE = 0x2000;
const uint16_t MOD_MOVE = 0x4000;
const uint16_t MODIFIER_BITS = MOD_VERIFY | MOD_REMOVE_SOURCE | MOD_MOVE;

// filter_flags bits.
const uint32_t DATE_RANGE_GIVEN = 0x01;
const uint32_t SOURCE_IS_DIRECTORY = 0x08;
const uint32_t OLDEST_INCLUSIVE = 0x10;
const uint32_t NEWEST_INCLUSIVE = 0x20;

// crc_polynomial of /FN: each file is read through for errors and no CRC is computed.
const uint32_t READ_TEST_ONLY = 0xFFFFFFFFu;

// help_request bits.
const uint32_t HELP_SHOW = 0x80000000u;
const uint32_t HELP_PARAMETERS = 0x00000001u;

const int MAX_LAYER_COUNT = 512;
const int EXIT_ERROR = 255;
const int EXIT_CAP = 254;
const int PATH_BUFFER_SIZE = 1024;

struct RunSettings {
    char* source_arg = nullptr;
    char* destination_arg = nullptr;
    int32_t layer_count = MAX_LAYER_COUNT;
    uint16_t operation = OP_LIST;
    int32_t exit_status = 0;
    int32_t confirm = 1;
    uint32_t filter_flags = 0;
    int32_t verify_content = 1;
    int32_t two_second_tolerance = 0;
    int32_t exec_quiet = 0;
    int32_t continue_on_error = 0;
    int32_t list_mode = 1;
    int32_t included_dir_depth = 1;
    int32_t year_4_digits = 0;
    int32_t show_progress = 0;
    int32_t size_total_only = 0;
    int32_t beep_count = 0;
    uint32_t crc_polynomial = 0;
    int32_t crc_initial_given = 0;
    int32_t crc32 = 0;
    uint32_t crc_initial_value = 0;
    uint32_t operated_count = 0;
    uint32_t verified_count = 0;
    uint64_t size_total = 0;
    uint32_t size_unit = 1;
    uint32_t attr_any_of = 0;
    uint32_t attr_all_of = 0;
    uint32_t attr_none_of = 0;
    uint32_t attr_to_add = 0;
    uint32_t attr_to_remove = 0;
    uint64_t oldest_date = 0;
    uint64_t newest_date = UINT64_MAX;
    char* exec_command = nullptr;
    const char* command_interpreter = nullptr;
    char* exclude_file_names = nullptr;
    char* exclude_dir_names = nullptr;
    char* include_dir_names = nullptr;
    char* include_file_names = nullptr;
    int32_t write_through = 0;
    int32_t exec_double_dollar = 0;
    int32_t exec_full_path = 0;
    uint32_t help_request = 0;
    int32_t version_request = 0;
    uint32_t verify_default_attrs = 0x37;
    uint32_t verify_attr_mask = 0;
    int32_t verify_size = 0;
    int32_t verify_date = 0;
    int32_t verify_show_all = 1;
    int32_t english = 1;
    int32_t utf8_console = 0;
    int32_t pause_every = 0;
    uint64_t new_date = 0;
    char start_directory[PATH_BUFFER_SIZE] = "";
};

extern RunSettings settings;

// The operation code without its modifier bits.
inline uint16_t base_operation()
{
    return settings.operation & ~MODIFIER_BITS;
}

// Copy or update, with any letters: the operations that make the destination follow.
inline bool copies_files()
{
    return base_operation() == OP_COPY || base_operation() == OP_UPDATE;
}

// /RV: delete each source file that the destination holds equal.
inline bool is_delete_after_verify()
{
    return settings.operation == (OP_DELETE | MOD_VERIFY);
}

// The operations that read or write a destination tree.
inline bool uses_destination()
{
    return copies_files() || base_operation() == OP_VERIFY || is_delete_after_verify();
}

// /V with property letters: the attributes, size and date of each entry and its
// destination are compared, not their contents.
inline bool verifies_properties()
{
    return base_operation() == OP_VERIFY && !settings.verify_content;
}

// Whether the run looks at the hidden, system or archive bit of every file it walks.
// The size summation, verify by contents and commands do not, nor does update, which
// reads them only of the files it copies; unless a filter names attributes. Every other
// operation shows the bits, gives them to each copy, compares them or clears them before
// a deletion.
inline bool reads_file_attributes()
{
    if (settings.attr_any_of != 0 || settings.attr_all_of != 0 || settings.attr_none_of != 0)
        return true;
    const uint16_t operation = base_operation();
    return !(operation == OP_SIZE || operation == OP_EXECUTE || operation == OP_UPDATE ||
             (operation == OP_VERIFY && !verifies_properties()));
}

// Frees the name lists and puts every field back to its default.
void reset_run_settings();
