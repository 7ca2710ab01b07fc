// The listing: one line per selected entry, with an optional CRC of its contents.
#pragma once

// Lists the current entry. 1 = go on with the walk, 0 = stop the run.
int list_entry();
