// The name forms of the current entry: long path, short path, destination path.
#pragma once

// source_path: the layer's search path with its last component replaced by the
// entry's long name. 0 (with a message) when the path does not fit its buffer.
int build_source_path();

// short_path: the upper-case 8.3 form of source_path; the long form itself when the
// system cannot give a short one, so that nothing acts on an earlier entry's path.
void build_short_path();

// Tells the system which parts of the walk's paths came from searches: every name after
// the source root and after the destination root, whose own components the user typed.
// Called once the searches of layer 0, which look up what the user typed, are open.
void register_walk_roots();

// The path the operations that follow /L show and act on: source_path with an odd
// /L, short_path with an even one, so that /L0 changes what it shows.
const char* chosen_path();

// dest_path: the destination root followed by source_path below the source root.
// 0 (with a message) when the path does not fit its buffer.
int build_dest_path();
