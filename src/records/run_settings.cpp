// The process-wide run settings and their reset.
#include "records/run_settings.h"

#include <cstdlib>

RunSettings settings;

void reset_run_settings()
{
    free(settings.exclude_file_names);
    free(settings.exclude_dir_names);
    free(settings.include_dir_names);
    free(settings.include_file_names);
    settings = RunSettings{};
}
