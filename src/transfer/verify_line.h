// The output line of one verified entry: its header, shown at most once, and its discords.
#pragma once

#include "messages/messages.h"

// Begins the line of the current entry with the header it will carry; nothing is
// printed yet.
void start_verify_line(const Message& header);

// Prints the header with dest_path unless the line already holds it.
void show_verify_header();

// A discord: the header if needed, the text highlighted (a format taking up to three
// strings), the line end and the /Q beeps; with only discords shown it counts toward
// the /M pause. Returns 1, as a discord never stops the run.
int report_discord(const char* format, const char* first = "", const char* second = "", const char* third = "");
