// Where the destination stands to the tree the walk goes through.
#pragma once

enum DestinationPlace {
    DESTINATION_ELSEWHERE,
    DESTINATION_IS_SOURCE,      // the same directory, by whatever route
    DESTINATION_INSIDE_SOURCE,  // below it, where the walk would reach its own copies
};

// Compares, by identity, the directory the walk goes through with the directory of the
// destination that stands for it. destination_root is the destination as the user gave it
// ("" for the current directory). Called once layer 0 is prepared, before anything is
// made at the destination.
DestinationPlace destination_place(const char* destination_root);
