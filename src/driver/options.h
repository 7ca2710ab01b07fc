// The option handler: reads one option and fills the run settings.
#pragma once

#include <cstdint>

// Reads the option at the cursor (on its '/' or on the zero byte that replaced it).
// 1 = accepted, 0 = refused; the cursor is left on the first character not consumed.
int handle_option(char** cursor);

// Appends the quoted value at the cursor to a name list, as ",value". 1 = done,
// 0 = the value syntax is refused or the list cannot grow.
int append_name_list(char** list, char** cursor);
