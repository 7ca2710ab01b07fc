// Requests from outside to end the run: the console's close, logoff and shutdown events.
#pragma once

// Watches for the events for the rest of the run.
void catch_termination_events();
