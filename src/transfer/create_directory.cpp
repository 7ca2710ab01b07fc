// Destination directories: created from a template, attributes copied.
#include "transfer/create_directory.h"

#include <cstdio>

#include "console/standard_output.h"
#include "messages/messages.h"
#include "records/walk_state.h"

int create_directory(const char* template_path, uint32_t attributes, int announce)
{
    if (announce)
        printf(text(MSG_CREATE_DIRECTORY), walk.dest_path);
    const BOOL created = template_path != nullptr ? CreateDirectoryExA(template_path, walk.dest_path, nullptr)
                                                  : CreateDirectoryA(walk.dest_path, nullptr);
    if (!created) {
        const DWORD code = GetLastError();
        print_highlighted(stdout, text(MSG_CANNOT_CREATE_DIRECTORY), static_cast<long>(code),
                          static_cast<unsigned long>(code));
        if (announce)
            fputs("\n", stdout);
        return 0;
    }
    // The directory stands even when its attributes cannot be copied.
    if (!SetFileAttributesA(walk.dest_path, attributes))
        print_highlighted(stdout, "%s", text(MSG_CHANGE_DIRECTORY_ATTRIBUTES_FAILED));
    if (announce)
        fputs("\n", stdout);
    return 1;
}
