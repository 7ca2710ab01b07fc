// The four-way prompt and the beep.
#pragma once

// Shows the prompt and waits for Y, N, A or X: 1 = do it, 0 = skip, -1 = stop.
int confirm_entry(const char* prompt);

// The /Q beeps after a comparison found a difference.
void beep();
