// Copying the contents, times and attributes of the current file to dest_path.
#pragma once

// Copies source_path to dest_path, which does not exist (any old one was deleted), then
// with V compares the copy and with R deletes the source. An incomplete copy leaves no
// destination behind. 1 = go on with the walk, 0 = stop the run.
int copy_file();

// V: the copy is read back against its source (a link by its target), with its texts.
// 1 = equal.
int verify_copy();
