// Symbolic links copied as links: the target text as it is written, never followed.
#pragma once

#include <string>

// Makes destination, which must not exist, a link with the same target text as the link
// at source, with the source link's own access and write times where the host sets a
// link's times. Returns 0 or the errno of the failure (EINVAL: source is no link);
// nothing is left at destination after a failure.
int copy_link_at(const std::string& source, const std::string& destination);
