// File times as the 64-bit counts the program computes with, and the calendar
// arithmetic that reading and comparing dates needs.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Two seconds in file time units (100 ns): the tolerance of the 2 letter, for file
// systems such as FAT that keep times to two seconds.
const uint64_t TIME_TOLERANCE_2S = 20000000;

// A FILETIME as one 64-bit value, and back.
uint64_t file_time_value(const FILETIME& time);
FILETIME file_time_of(uint64_t value);

// 28 to 31.
int days_in_month(int year, int month);
