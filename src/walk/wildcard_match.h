// Wildcard matching of one name against one pattern, in the console code page.
#pragma once

// 1 when name matches pattern, 0 when it does not, -1 when it does not and the pattern
// ends in a "." segment that the name's dot already answered (no short-form retry).
int wildcard_match(const char* name, const char* pattern);
