// The statuses the layer has just read from the host, for a call on the same entry that
// follows at once. A change of attributes asks about the entry the walk has just been
// handed, and a verify or a copy opens the entry a search or a lookup has just read:
// reading it again by its path costs the host a walk of the path each time.
#pragma once

#include <string>

#include "platform/posix/files/entry_status.h"

// A search or a lookup read this entry's status from the host just now, under this
// shown name.
void remember_recent_status(const std::string& host_path, const char* shown_name, const EntryStatus& status);

// A lookup found no entry at host_path just now, in a directory that exists.
void remember_recent_miss(const std::string& host_path);

// The remembered status with its stored bits when it is of this entry under this name,
// a moment old, and the layer has changed no directory since. Every remembered status is
// forgotten whatever the answer, so that a call that changes an entry's attributes is
// never answered from before it.
bool take_recent_status(const std::string& host_path, const char* shown_name, EntryStatus* status);

// Whether the entry at host_path was a file itself (not a link, a directory, a FIFO or a
// device) a moment ago, with no directory changed by the layer since, and its status
// then. Only that status is forgotten: an entry's kind changes only with its directory.
bool recent_file(const std::string& host_path, EntryStatus* status);

// Whether a lookup found no entry at host_path a moment ago, with no directory changed
// by the layer since. Only that miss is forgotten.
bool recent_miss(const std::string& host_path);

// Forgets them: the program waits (Sleep, a key read), for the user as a rule, and
// whatever it asks next about an entry is read again as it is then.
void forget_recent_status();
