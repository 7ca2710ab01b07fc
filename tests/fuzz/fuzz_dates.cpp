// Fuzz target: date arguments in each completion mode and a few time zones.
#include <cstring>
#include <ctime>

#include "driver/dates.h"
#include "fuzz_input.h"
#include "time/file_time.h"

// UTC, a zone with a summer hour, and one whose summer shift is half an hour.
static void choose_zone(uint8_t selector)
{
    static const char* const zones[] = {"UTC", "Europe/Berlin", "Australia/Lord_Howe"};
    static int current = -1;
    if (choose_variable("TZ", zones, &current, selector))
        tzset();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const int mode = data[0] % 3;
    choose_zone(static_cast<uint8_t>(data[0] / 3));
    std::string text = text_of(data + 1, size - 1);

    const uint64_t untouched = 0x0123456789ABCDEFull;
    uint64_t target = untouched;
    char* cursor = text.data();
    const int accepted = parse_date(&target, &cursor, mode);
    FUZZ_CHECK(accepted == 0 || accepted == 1);
    if (accepted) {
        FUZZ_CHECK(cursor > text.data() && cursor <= text.data() + text.size());
    } else {
        FUZZ_CHECK(target == untouched && cursor == text.data());
    }

    if (text.size() >= 2) {
        const int days = days_in_month(static_cast<unsigned char>(text[0]) + 1600, text[1] % 12 + 1);
        FUZZ_CHECK(days >= 28 && days <= 31);
    }
    return 0;
}
