// Keys: reading single keys, the abort poll and the pauses.
#pragma once

const int ABORT_KEY = 27;
const int CTRL_C_KEY = 3;
const int CTRL_S_KEY = 19;
const int CTRL_Q_KEY = 17;

// read_key's answer when no console can be read at all.
const int NO_CONSOLE_KEY = 0x100;

// Waits for the next key release and returns its character (0 for keys without one,
// negative above 127), or NO_CONSOLE_KEY.
int read_key();

// Without waiting: the virtual-key code of a pending key press, else 0; NO_CONSOLE_KEY
// when no console can be read at all.
int peek_key();

// ESC stops the run (1), Ctrl+C switches confirmation back on, Ctrl+S holds until
// Ctrl+Q. With wait, it waits for a key (the /M pause). With key, the key read is
// handed back for a prompt to interpret.
int poll_abort_keys(int* key, int wait);
