// Fuzz target: the program's name matcher against the backtracking one it replaced, and
// the platform layer's search-pattern matcher on the same texts.
//
// Input: the code page byte, then the name, a zero byte and the pattern.
#include <cstring>

#include "fuzz_input.h"
#include "platform/posix/searches/wildcard.h"
#include "unit/walk/backtracking_match.h"
#include "walk/wildcard_match.h"

// The backtracking matcher is exponential in the stars; beyond these bounds one input
// could take seconds, and the fuzzer would find only that.
static const size_t REFERENCE_NAME_LIMIT = 20;
static const size_t REFERENCE_STAR_LIMIT = 5;

static size_t count_stars(const std::string& pattern)
{
    size_t stars = 0;
    for (char c : pattern)
        stars += c == '*';
    return stars;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    choose_code_page(data[0]);
    const std::string name = text_of(data + 1, size - 1);
    const size_t rest = 1 + name.size() + 1;
    const std::string pattern = rest < size ? text_of(data + rest, size - rest) : "";

    const int result = wildcard_match(name.c_str(), pattern.c_str());
    FUZZ_CHECK(result >= -1 && result <= 1);
    if (name.size() <= REFERENCE_NAME_LIMIT && count_stars(pattern) <= REFERENCE_STAR_LIMIT)
        FUZZ_CHECK(result == reference_match(name.c_str(), pattern.c_str()));

    wildcard_matches(pattern.data(), pattern.size(), name.data(), name.size());
    return 0;
}
