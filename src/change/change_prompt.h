// What the attribute and date changes share: the path they act on and their question.
#pragma once

// The long path with an odd /L, else the short one: the changes act on what they show.
const char* change_path();

// Asks about the entry whose line is printed (unless confirmation is off) and ends the
// line. 1: change the entry; 0: *result is the entry's result (1 skip, 0 stop).
int change_confirmed(int* result);
