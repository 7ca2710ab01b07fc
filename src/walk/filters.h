// Selection filters: whether the walk's current entry is offered to the operation.
#pragma once

// 1 when the current entry matches an item of list (",item,item"), 0 otherwise or for
// an absent list. The list and the entry's paths are cut in place and restored.
int name_list_matches(char* list);

// The source name pattern against the current entry, long form first.
int source_name_matches();

// The /=, /& and /! attribute masks against the current entry.
int attributes_pass();

// The current entry's last-write time against the /A and /B bounds.
int date_in_range();

// Whether the current directory is offered; asked before and after its contents.
int directory_passes();

// Whether the current file is offered, after the walker's own list tests.
int file_passes();
