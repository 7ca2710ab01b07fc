// The status a search has just read from the host, for a call on the same entry that
// follows at once. A change of attributes asks about the entry the walk has just been
// handed, and reading it again by its path costs two more host calls per entry.
#pragma once

#include <string>

#include "platform/posix/entry_status.h"

// A search read this entry's status from the host just now, under this shown name.
void remember_recent_status(const std::string& host_path, const char* shown_name, const EntryStatus& status);

// The remembered status when it is of this entry under this name, a moment old, and the
// layer has changed no directory since. It is handed out once and forgotten whatever
// the answer, so that a call that changes the entry is never answered from before it.
bool take_recent_status(const std::string& host_path, const char* shown_name, EntryStatus* status);

// Forgets it: the program waits (Sleep, a key read), for the user as a rule, and whatever
// it asks next about the entry is read again as it is then.
void forget_recent_status();
