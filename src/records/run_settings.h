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
    char* source_arg = nullptr;               // the source path argument, as typed
    char* destination_arg = nullptr;          // the destination path argument, as typed
    int32_t layer_count = MAX_LAYER_COUNT;    // layers below the source to walk: /n
    uint16_t operation = OP_LIST;             // operation code and modifier bits: the last operation option
    int32_t exit_status = 0;                  // EXIT_ERROR after a refused option or an unopenable source
    int32_t confirm = 1;                      // ask before each entry; I letters turn it off, Ctrl+C on
    uint32_t filter_flags = 0;                // DATE_RANGE_GIVEN and the others above: /A, /B, the source
    int32_t verify_content = 1;               // /V compares contents; its property letters clear it
    int32_t two_second_tolerance = 0;         // times equal within two seconds: the 2 of /C, /U, /V
    int32_t exec_quiet = 0;                   // the commands are not shown: /XN
    int32_t continue_on_error = 0;            // an error ends the entry, not the run: the E letters
    int32_t list_mode = 1;                    // /L n: odd long paths, even 8.3; bit 4 adds two dates
    int32_t included_dir_depth = 1;           // > 0 inside a directory /P names (/P sets it to 0 till then)
    int32_t year_4_digits = 0;                // four-digit years: /Y4 (/Y2 two)
    int32_t show_progress = 0;                // percent and KB/sec of long files: the P letters
    int32_t size_total_only = 0;              // the total line alone: /ST
    int32_t beep_count = 0;                   // beeps when a comparison finds a difference: /Q n
    uint32_t crc_polynomial = 0;              // /F's CRC polynomial, READ_TEST_ONLY for /FN, 0 without /F
    int32_t crc_initial_given = 0;            // a start value was given: /FI
    int32_t crc32 = 0;                        // CRC32 instead of CRC16: /FD
    uint32_t crc_initial_value = 0;           // the CRC's start value: /FIhex
    uint32_t operated_count = 0;              // files handed to the operation (the exit code)
    uint32_t verified_count = 0;              // files found equal by /V or deleted by /RV (their exit code)
    uint64_t size_total = 0;                  // /S's running total in size_unit units
    uint32_t size_unit = 1;                   // bytes per unit of /S: 1, 512 (/S0.5) or n KB (/Sn)
    uint32_t attr_any_of = 0;                 // select entries with one of these bits: /: or /=
    uint32_t attr_all_of = 0;                 // select entries with all of these bits: /&
    uint32_t attr_none_of = 0;                // select entries with none of these bits: /!
    uint32_t attr_to_add = 0;                 // bits /+ sets
    uint32_t attr_to_remove = 0;              // bits /- clears
    uint64_t oldest_date = 0;                 // entries last written after it (or at it: /AE): /A
    uint64_t newest_date = UINT64_MAX;        // entries last written before it (or at it: /BE): /B
    char* exec_command = nullptr;             // the command of /X, still with its $ variables
    const char* command_interpreter = nullptr; // where /X runs its commands: COMSPEC or the system's
    char* exclude_file_names = nullptr;       // file names to leave out, comma-separated: /I
    char* exclude_dir_names = nullptr;        // directory names to leave out: /O
    char* include_dir_names = nullptr;        // only directories of these names and what is in them: /P
    char* include_file_names = nullptr;       // only files of these names: /W
    int32_t write_through = 0;                // copies written through to the disk: the T of /C, /U
    int32_t exec_double_dollar = 0;           // every $ of a name doubled in the command: /XF
    int32_t exec_full_path = 0;               // the path variables are full paths: /XA
    uint32_t help_request = 0;                // /? (HELP_SHOW) or /?n (HELP_PARAMETERS for /?1)
    int32_t version_request = 0;              // --version: the help's first line only
    uint32_t verify_default_attrs = 0x37;     // the attribute bits /V may compare: R, H, S, D and A
    uint32_t verify_attr_mask = 0;            // the bits /V compares: its letters A, H, R, S
    int32_t verify_size = 0;                  // /V compares sizes: /VL
    int32_t verify_date = 0;                  // /V compares last write times: /VD
    int32_t verify_show_all = 1;              // /V shows equal entries too; /VV only the different ones
    int32_t english = 1;                      // English texts: chosen by the console, forced by /E
    int32_t utf8_console = 0;                 // Japanese texts printed as UTF-8 (a UTF-8 console)
    int32_t pause_every = 0;                  // a pause after every n operated entries: /M n (/M: 24)
    uint64_t new_date = 0;                    // the time /D sets, now when none is given
    char start_directory[PATH_BUFFER_SIZE] = ""; // where the program started, read by /X for its commands
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
