// Fuzz target: one option argument through the option handler, as the argument scan
// reads it, from fresh settings each time.
//
// The scan of one argument returns the refusal instead of printing it (the printing
// and the exit code are the driver's), so every input runs to its end here.
#include <cstring>

#include "driver/options.h"
#include "driver/tokenizer.h"
#include "fuzz_input.h"
#include "records/run_settings.h"

// A name list is "" or starts with the ',' of its first item.
static void check_list(const char* list)
{
    FUZZ_CHECK(list == nullptr || list[0] == ',');
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    choose_code_page(data[0]);
    std::string argument = "/" + text_of(data + 1, size - 1);
    reset_run_settings();
    const int accepted = scan_switch_argument(argument.data(), handle_option);
    FUZZ_CHECK(accepted == 0 || accepted == 1);
    if (accepted) {
        check_list(settings.exclude_file_names);
        check_list(settings.exclude_dir_names);
        check_list(settings.include_dir_names);
        check_list(settings.include_file_names);
        FUZZ_CHECK(settings.layer_count >= 0 && settings.layer_count <= MAX_LAYER_COUNT);
        FUZZ_CHECK(settings.oldest_date == 0 || (settings.filter_flags & DATE_RANGE_GIVEN));
    }
    if (settings.exec_command != nullptr)
        FUZZ_CHECK(settings.exec_command > argument.data() &&
                   settings.exec_command <= argument.data() + argument.size());
    reset_run_settings();
    return 0;
}
