// Deleting one file: the attributes that would refuse the deletion go first.
#include "transfer/delete_file.h"

#include <cstdio>

#include "console/standard_output.h"
#include "messages/messages.h"
#include "platform/platform.h"

int delete_file(const char* path)
{
    // A path that cannot be read gives all ones, so it takes this branch too and its
    // failure is reported as an attribute change.
    if ((GetFileAttributesA(path) & PROTECTING_ATTRIBUTES) != 0 && !SetFileAttributesA(path, 0)) {
        print_highlighted(stdout, text(MSG_CHANGE_FILE_ATTRIBUTES_FAILED), path);
        return 0;
    }
    if (!DeleteFileA(path)) {
        print_highlighted(stdout, text(MSG_DELETE_FILE_FAILED), path);
        return 0;
    }
    return 1;
}
