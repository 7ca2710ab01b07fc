// Date arguments: [yy]yy-mm-dd[{,|&}hh:mm:ss[.nnn]] in local time to a FILETIME in UTC.
#pragma once

#include <cstdint>

// What a date argument completes by itself.
enum DateMode {
    DATE_TIME_REQUIRED = 0, // /D: the time part must be given; milliseconds stay the current ones
    DATE_START_OF_DAY = 1,  // /AE, /B: a missing time is 00:00:00.000
    DATE_END_OF_DAY = 2,    // /A, /BE: a missing time is 23:59:59.999
};

// Reads a date at the cursor into target (a FILETIME value, UTC). 1 = accepted, with the
// cursor after the last character read; 0 = refused, target and cursor untouched.
int parse_date(uint64_t* target, char** cursor, int mode);
