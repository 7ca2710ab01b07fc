// The command line of /X built from its template and the current entry's names.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

// The interpreter switch, the command and its terminating byte together.
const uint32_t COMMAND_LIMIT = 1024;
// A substitution that crosses the limit still fits before the limit refuses the command.
const uint32_t COMMAND_STORAGE_SIZE = 3 * COMMAND_LIMIT;
const uint32_t COMMAND_SWITCH_LENGTH = 3;

// Every path variable's text that is not empty is a word of its own, of one byte at least.
const uint32_t COMMAND_WORD_LIMIT = COMMAND_LIMIT;

struct CommandBuffer {
    char text[COMMAND_STORAGE_SIZE];         // "/c ", then the command
    uint32_t fill;                           // bytes of text, the terminating byte included once written
    CommandWord words[COMMAND_WORD_LIMIT];  // where each path variable's text stands, after "/c "
    uint32_t word_count;
};

extern CommandBuffer command;

// Appends count bytes, each one equal to doubled twice (0 doubles nothing). 1 while the
// fill is within COMMAND_LIMIT, else 0. Stops at the end of the storage.
int append_text(const char* source, size_t count, char doubled);

// The short and long path forms of the current entry, full paths with /XA.
void prepare_command_paths();

// Expands the next command of the template at position into the buffer and returns
// where the one after it begins. The buffer is terminated; a fill of
// COMMAND_SWITCH_LENGTH + 1 means an empty command.
const char* expand_command(const char* position);
