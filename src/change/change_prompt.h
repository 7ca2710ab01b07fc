// What the attribute and date changes share: their question.
#pragma once

// Asks about the entry whose line is printed (unless confirmation is off) and ends the
// line. 1: change the entry; 0: *result is the entry's result (1 skip, 0 stop).
int change_confirmed(int* result);
