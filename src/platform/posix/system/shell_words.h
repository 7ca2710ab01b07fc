// The script /bin/sh runs for a /X command whose path variables must stay literal words.
#pragma once

#include <string>

#include "platform/platform.h"

// The command with each word's text kept out of what the shell parses: the script first
// sets one shell variable per word (its text single-quoted, the one quoting that no
// character escapes), then runs the command with each word replaced by a reference to
// its variable, quoted for where the word stands (bare, in "...", in '...', within $(...)
// or backquotes). Whatever a word holds, the shell never reads it as code; a command
// whose quotes the scan misreads can get a wrong word, never a word run as code.
std::string shell_script_with_words(const char* command, const CommandWord* words, uint32_t word_count);
