// The command line of /X built from its template and the current entry's names.
#include "change/command_expansion.h"

#include <cstring>

#include "console/date_display.h"
#include "platform/platform.h"
#include "records/run_settings.h"
#include "records/walk_state.h"
#include "text/multibyte.h"
#include "time/file_time.h"
#include "walk/paths.h"

CommandBuffer command;

// GetFullPathNameA may lengthen a relative path past the walk's own buffers.
const DWORD FULL_PATH_SIZE = 1056;
static_assert(FULL_PATH_SIZE >= PATH_BUFFER_SIZE);

// One path form of the entry and where its parts begin.
struct CommandPathForm {
    char path[FULL_PATH_SIZE];
    const char* name;
    const char* extension;  // after the last '.' of the name; null when it has none
};

static CommandPathForm short_form;
static CommandPathForm long_form;

// A path part as a text of its own, and its form for the command line.
static char path_part[FULL_PATH_SIZE];
static char host_text[COMMAND_STORAGE_SIZE];

int append_text(const char* source, size_t count, char doubled)
{
    for (size_t i = 0; i < count; i++) {
        const int copies = (doubled != '\0' && source[i] == doubled) ? 2 : 1;
        for (int copy = 0; copy < copies; copy++) {
            // The last byte of the storage is kept for the terminator; a command that
            // reaches it is far past the limit and refused.
            if (command.fill >= COMMAND_STORAGE_SIZE - 1)
                return 0;
            command.text[command.fill++] = source[i];
        }
    }
    return command.fill <= COMMAND_LIMIT ? 1 : 0;
}

static void set_parts(CommandPathForm* form)
{
    form->name = last_component(form->path);
    form->extension = extension_of(form->path);
}

void prepare_command_paths()
{
    if (settings.exec_full_path) {
        const DWORD length = GetFullPathNameA(walk.source_path, FULL_PATH_SIZE, long_form.path, nullptr);
        if (length == 0 || length >= FULL_PATH_SIZE)
            strcpy(long_form.path, walk.source_path);
        // Without a short form the long one stands in, as for the walk's own short path.
        const DWORD short_length = GetShortPathNameA(long_form.path, short_form.path, FULL_PATH_SIZE);
        if (short_length == 0 || short_length >= FULL_PATH_SIZE)
            strcpy(short_form.path, long_form.path);
        CharUpperA(short_form.path);
    } else {
        strcpy(long_form.path, walk.source_path);
        strcpy(short_form.path, walk.short_path);
    }
    set_parts(&long_form);
    set_parts(&short_form);
}

// Where names reach the command as literal words, no '$' of theirs is doubled.
static char doubled_character()
{
    return settings.exec_double_dollar && !command_words_are_literal() ? '$' : '\0';
}

static bool starts_with_drive(const char* path)
{
    const char letter = upper_ascii(path[0]);
    return letter >= 'A' && letter <= 'Z' && path[1] == ':';
}

static const char* base_end(const CommandPathForm& form)
{
    return form.extension != nullptr ? form.extension - 1 : form.name + strlen(form.name);
}

// A path part goes to the interpreter in the form it can use (on POSIX the host path);
// the F doubling applies to what the interpreter sees. Without its final separator a
// directory part still names the root when that is all there is ("/").
static void append_path(const char* start, size_t length, bool drop_final_separator)
{
    memcpy(path_part, start, length);
    path_part[length] = '\0';
    size_t host_length = command_path_text(path_part, host_text, sizeof host_text);
    if (host_length >= sizeof host_text)
        host_length = sizeof host_text - 1;
    if (drop_final_separator && host_length > 0) {
        const char* last = last_char(host_text);
        const bool host_root = host_length == 1 && host_text[0] == '/';
        if ((*last == '\\' || *last == '/') && !host_root)
            host_length = static_cast<size_t>(last - host_text);
    }
    append_text(host_text, host_length, doubled_character());
}

// A part of the name as the interpreter can use it (the host's characters on POSIX).
static void append_name_part(const char* start, size_t length)
{
    size_t host_length = command_name_text(start, length, host_text, sizeof host_text);
    if (host_length >= sizeof host_text)
        host_length = sizeof host_text - 1;
    append_text(host_text, host_length, doubled_character());
}

// $P: the directory part; a drive alone ("C:") stays whole.
static void append_directory(const CommandPathForm& form)
{
    const size_t length = static_cast<size_t>(form.name - form.path);
    if (length > 0)
        append_path(form.path, length, true);
}

// $S: the directory part without its drive. "." where that leaves nothing but the
// current directory; nothing for the root of a drive.
static void append_directory_without_drive(const CommandPathForm& form)
{
    const char* start = form.path;
    size_t length = static_cast<size_t>(form.name - form.path);
    const bool drive = length >= 2 && starts_with_drive(start);
    if (drive) {
        start += 2;
        length -= 2;
    }
    if (drive && length == 1)
        return;
    if (length <= 1)
        append_text(".", 1, '\0');
    else
        append_path(start, length, true);
}

// $N: the path with the name's extension, its '.' only when an extension follows.
static void append_path_and_name(const CommandPathForm& form)
{
    const bool extension = form.extension != nullptr && *form.extension != '\0';
    const char* end = extension ? form.name + strlen(form.name) : base_end(form);
    append_path(form.path, static_cast<size_t>(end - form.path), false);
}

static void append_drive(char letter)
{
    if (!starts_with_drive(short_form.path)) {
        append_text(".", 1, '\0');
        return;
    }
    const char upper = upper_ascii(short_form.path[0]);
    const char drive[2] = {letter == 'V' ? upper : static_cast<char>(upper | 0x20), ':'};
    append_text(drive, sizeof drive, '\0');
}

static void append_date_or_time(char letter)
{
    const uint64_t written = file_time_value(walk.current_level->find_data.ftLastWriteTime);
    char buffer[16];
    char* cursor = buffer;
    if (letter == 'D' || letter == 'd')
        format_date(written, &cursor, letter == 'D' ? '-' : '\0');
    else
        format_time(written, &cursor, letter == 'T' ? TIME_SECONDS : TIME_COMPACT);
    append_text(buffer, static_cast<size_t>(cursor - buffer), '\0');
}

static void append_path_variable(char letter)
{
    const CommandPathForm& form = (letter >= 'A' && letter <= 'Z') ? short_form : long_form;
    switch (letter) {
    case 'V': case 'v': append_drive(letter); break;
    case 'E': case 'e':
        if (form.extension != nullptr)
            append_name_part(form.extension, strlen(form.extension));
        break;
    case 'F': case 'f':
        append_name_part(form.name, static_cast<size_t>(base_end(form) - form.name));
        break;
    case 'P': case 'p': append_directory(form); break;
    case 'S': case 's': append_directory_without_drive(form); break;
    case 'N': case 'n': append_path_and_name(form); break;
    }
}

// A path variable's text is one word for the interpreter. An empty one is no word, as
// the bare text would be; the others each take a byte at least, so the scan stops at
// the limit before the words run out.
static void append_word(char letter)
{
    const uint32_t start = command.fill - COMMAND_SWITCH_LENGTH;
    append_path_variable(letter);
    const uint32_t end = command.fill - COMMAND_SWITCH_LENGTH;
    if (end > start && command.word_count < COMMAND_WORD_LIMIT)
        command.words[command.word_count++] = {start, end};
}

// The letter after '$': upper case takes the short form, lower case the long one.
// False for a letter that names no variable.
static bool append_variable(char letter)
{
    switch (letter) {
    case '$': append_text("$", 1, '\0'); return true;
    case 'D': case 'd': case 'T': case 't': append_date_or_time(letter); return true;
    case 'V': case 'v': case 'E': case 'e': case 'F': case 'f':
    case 'P': case 'p': case 'S': case 's': case 'N': case 'n':
        append_word(letter);
        return true;
    }
    return false;
}

const char* expand_command(const char* position)
{
    memcpy(command.text, "/c ", COMMAND_SWITCH_LENGTH);
    command.fill = COMMAND_SWITCH_LENGTH;
    command.word_count = 0;
    while (command.fill <= COMMAND_LIMIT && *position != '\0') {
        // A double-byte character is copied whole, so a '$' byte inside one starts nothing.
        if (*position != '$') {
            const char* next = next_char(position);
            append_text(position, static_cast<size_t>(next - position), '\0');
            position = next;
            continue;
        }
        const char letter = position[1];
        if (letter == '\0') {
            append_text("$", 1, '\0');
            position++;
            break;
        }
        if (letter == ';') {
            position += 2;
            break;
        }
        if (append_variable(letter)) {
            position += 2;
            continue;
        }
        const char* next = next_char(position + 1);
        append_text(position, static_cast<size_t>(next - position), '\0');
        position = next;
    }
    command.text[command.fill] = '\0';
    command.fill++;
    return position;
}
