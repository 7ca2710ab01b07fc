// Links in the destination tree: made again with the same target text, never followed.
#pragma once

// Whether the destination of the current link entry exists as an entry a link may
// replace: a file or a link. A real directory is not one: a link there would hide what
// it holds, so making the link fails as making a file there does.
bool link_destination_exists();

// The update rule's first question for a link: whether dest_path is already a link with
// the same target, so that nothing is to be done. False for every other entry.
bool link_is_up_to_date();

// Makes dest_path, which does not exist, a link with the target text of source_path;
// then V compares the two links and R deletes the source link. 1 = go on with the walk,
// 0 = stop the run.
int copy_link();
