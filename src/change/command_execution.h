// Running a command (/X) for every selected entry, with its names put in.
#pragma once

// 1 = go on with the walk, 0 = stop the run.
int execute_entry();
