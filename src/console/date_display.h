// Dates and times of file times, shown in local time.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Time forms of format_time.
const int TIME_COMPACT = -2;   // hhmmss
const int TIME_SECONDS = -1;   // hh:mm:ss
const int TIME_HUNDREDTHS = 0; // hh:mm:ss.cc (any other mode too)

// The calendar fields of a file time in local time, with the bias in force now; zeros
// when it cannot be converted.
SYSTEMTIME local_calendar(uint64_t file_time);

// Writes the date at the cursor and moves it on; returns the characters written.
// separator 0 gives yymmdd (yyyymmdd with /Y4), otherwise yy-mm-dd with that character.
int format_date(uint64_t file_time, char** cursor, char separator);

// Writes the time at the cursor in one of the forms above and moves it on.
int format_time(uint64_t file_time, char** cursor, int mode);

// The listing's column: yy-mm-dd hh:mm:ss.cc (yyyy with /Y4) from one conversion, at
// the cursor, which moves on; a buffer of 28 characters holds it.
int format_date_column(uint64_t file_time, char** cursor);

// The date with '-' and one blank after it, on standard output.
void print_date(uint64_t file_time);

// hh:mm:ss followed by the character, on standard output.
void print_time(uint64_t file_time, char following);
