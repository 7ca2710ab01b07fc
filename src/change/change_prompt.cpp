// What the attribute and date changes share: their question.
#include "change/change_prompt.h"

#include <cstdio>

#include "console/prompts.h"
#include "messages/messages.h"

int change_confirmed(int* result)
{
    const int answer = settings.confirm ? confirm_entry(text(MSG_PROMPT_UPDATE)) : 1;
    // The line ends before the change, so that its failure stands on a line of its own.
    fputs("\n", stdout);
    if (answer == 1)
        return 1;
    *result = answer == 0 ? 1 : 0;
    return 0;
}
