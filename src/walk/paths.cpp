// Splitting paths into components, multibyte-aware.
#include "walk/paths.h"

#include <cstring>

#include "text/multibyte.h"

char* last_component(const char* path)
{
    // After the last ':' or '\\', whichever comes later: one pass, since the walk asks
    // this of every entry's path.
    const char* component = path;
    for (const char* p = path; *p != '\0'; p = next_char(p)) {
        if (*p == ':' || *p == '\\')
            component = p + 1;
    }
    return const_cast<char*>(component);
}

char* extension_of(const char* path)
{
    char* dot = nullptr;
    for (char* p = last_component(path); *p != '\0'; p = next_char(p)) {
        if (*p == '.')
            dot = p;
    }
    return dot == nullptr ? nullptr : dot + 1;
}

bool ends_in_dot_directory(const char* path)
{
    const char* name = last_component(path);
    return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}
