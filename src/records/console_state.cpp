// The process-wide console state; capture_console fills it at start-up.
#include "records/console_state.h"

ConsoleState console;
