// Name forms of paths: last component and extension.
#pragma once

// After the last ':' and then after the last '\' that follows it; the start of the
// path when it holds neither. C:\a\ gives the empty text at its end.
char* last_component(const char* path);

// After the last '.' of the last component; null when the component has none.
char* extension_of(const char* path);

// Whether the last component is "." or "..": a directory named by its place alone.
bool ends_in_dot_directory(const char* path);
