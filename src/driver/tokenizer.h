// Cutting an option argument into options, quoted values and quote removal.
//
// Everything works in place on the argument texts: ends of words and values are
// marked by writing zero bytes into them, and nothing is copied.
#pragma once

const char SWITCH_CHARACTER = '/';

// Reads one option at the cursor, which stands on a switch character or on the zero
// byte that replaced one; leaves the cursor on the first character not consumed.
// Returns 1 when the option is accepted, 0 when it is refused.
typedef int OptionHandler(char** cursor);

// Reads every option of one argument that begins with '/'. 1 = all accepted, 0 = refused.
int scan_switch_argument(char* text, OptionHandler* handler);

// The value after '=' or ':' between a quote character of the user's choice; a doubled
// quote stands for one. Null when the syntax is refused.
char* read_quoted_value(char** cursor);

// Deletes every double quote from text, in place; a null text is left alone.
void remove_quotes(char* text);
