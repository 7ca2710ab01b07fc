// Adding and removing attributes (/+ and /-) of the selected entries.
#include "change/attribute_change.h"

#include <cstdio>

#include "change/change_prompt.h"
#include "console/number_format.h"
#include "console/standard_output.h"
#include "messages/messages.h"
#include "records/walk_state.h"
#include "walk/name_forms.h"

int change_attributes()
{
    walk.pause_counter++;
    const char* path = chosen_path();
    const DWORD present = walk.current_level->find_data.dwFileAttributes;
    print_attributes(present);
    printf(" %s", path);
    int result = 1;
    if (!change_confirmed(&result))
        return result;
    // The whole word goes back, bits the user did not name included; the system drops
    // the ones it does not set. It is asked even when nothing changes, so that an entry
    // the system cannot change is reported all the same.
    const DWORD wanted = (present & ~settings.attr_to_remove) | settings.attr_to_add;
    if (!SetFileAttributesA(path, wanted)) {
        print_highlighted(stdout, text(MSG_CHANGE_ATTRIBUTES_FAILED), path);
        return 0;
    }
    return 1;
}
