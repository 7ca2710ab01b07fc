// Adding and removing attributes (/+ and /-) of the selected entries.
#pragma once

// 1 = go on with the walk, 0 = stop the run.
int change_attributes();
