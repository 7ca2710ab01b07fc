// Running a command (/X) for every selected entry, with its names put in.
#include "change/command_execution.h"

#include <cstdio>

#include "change/command_expansion.h"
#include "console/keys.h"
#include "console/prompts.h"
#include "messages/messages.h"
#include "platform/platform.h"
#include "records/walk_state.h"

static const char* start_failure_text(CommandStartResult result)
{
    switch (result) {
    case COMMAND_NOT_FOUND: return text(MSG_COMMAND_NOT_FOUND);
    case COMMAND_TOO_LONG: return text(MSG_COMMAND_ARGUMENTS_TOO_LONG);
    case COMMAND_NOT_EXECUTABLE: return text(MSG_COMMAND_NOT_EXECUTABLE);
    case COMMAND_NO_MEMORY: return text(MSG_COMMAND_NO_MEMORY);
    case COMMAND_INVALID_MODE: return text(MSG_COMMAND_INVALID_MODE);
    default: return text(MSG_COMMAND_UNKNOWN_ERROR);
    }
}

// 1 = run it, 0 = skip it, -1 = stop. A prompt always shows what it asks about, even
// with N.
static int show_and_confirm(const char* shown)
{
    if (!settings.confirm && settings.exec_quiet)
        return 1;
    fputs(shown, stderr);
    const int answer = settings.confirm ? confirm_entry(text(MSG_PROMPT_EXECUTE)) : 1;
    fputs("\n", stderr);
    return answer;
}

int execute_entry()
{
    walk.pause_counter++;
    prepare_command_paths();
    const char* position = settings.exec_command;
    for (;;) {
        position = expand_command(position);
        // An empty command ends the entry's commands: the template is used up, or "$;$;".
        if (command.fill == COMMAND_SWITCH_LENGTH + 1)
            return 1;
        if (command.fill > COMMAND_LIMIT) {
            fprintf(stderr, text(MSG_COMMAND_TOO_LONG), command.text);
            return 0;
        }
        const char* shown = command.text + COMMAND_SWITCH_LENGTH;
        const int answer = show_and_confirm(shown);
        if (answer < 0)
            return 0;
        if (answer == 0)
            continue;
        // The child writes to the same files; what the run printed comes first.
        fflush(stdout);
        fflush(stderr);
        const CommandStartResult result = run_command_interpreter(settings.command_interpreter, shown, command.words, command.word_count);
        if (result != COMMAND_STARTED) {
            fprintf(stderr, MSG_COMMAND_START_FAILED, start_failure_text(result));
            return 0;
        }
        // A request to end the run that came while the command ran keeps the entry's
        // later commands from running too.
        if (termination_requested() && poll_abort_keys(nullptr, 0))
            return 0;
    }
}
