// The wildcard matcher: '*', '?', the "*." rule and its -1, case, and multibyte names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/posix/code_page.h"
#include "unit/walk/backtracking_match.h"
#include "walk/wildcard_match.h"

// Test names stay local: other test files of this binary use the same short ones.
namespace {

struct MatchCase {
    const char* name;
    const char* pattern;
    int expected;
};

void PrintTo(const MatchCase& c, std::ostream* out)
{
    *out << testing::PrintToString(std::string(c.name)) << " ~ " << testing::PrintToString(std::string(c.pattern));
}

// Runs a table under one locale and puts the C locale back afterwards.
class WildcardMatch : public testing::TestWithParam<MatchCase> {
protected:
    static void run_under(const char* locale)
    {
        setenv("LC_ALL", locale, 1);
        reload_code_page();
        EXPECT_EQ(wildcard_match(GetParam().name, GetParam().pattern), GetParam().expected);
        setenv("LC_ALL", "C", 1);
        reload_code_page();
    }
};

class WildcardMatchSingleByte : public WildcardMatch {};
class WildcardMatchShiftJis : public WildcardMatch {};
class WildcardMatchUtf8 : public WildcardMatch {};

TEST_P(WildcardMatchSingleByte, follows_the_star_question_and_case_rules) { run_under("C"); }
TEST_P(WildcardMatchShiftJis, treats_double_byte_characters_as_units) { run_under("ja_JP.SJIS"); }
TEST_P(WildcardMatchUtf8, treats_a_sequence_as_one_character) { run_under("en_US.UTF-8"); }

INSTANTIATE_TEST_SUITE_P(Cases, WildcardMatchSingleByte, testing::Values(
    // '*' alone matches every name, the empty one too.
    MatchCase{"", "*", 1}, MatchCase{"a", "*", 1}, MatchCase{"a.b.c", "**", 1},
    // "*.*" needs a dot somewhere.
    MatchCase{"a.b", "*.*", 1}, MatchCase{"ab", "*.*", 0}, MatchCase{".x", "*.*", 1}, MatchCase{"a.", "*.*", 1},
    // "*." accepts names without a dot and refuses the others with -1.
    MatchCase{"abc", "*.", 1}, MatchCase{"", "*.", 1}, MatchCase{"a.b", "*.", -1}, MatchCase{"abc.", "*.", 1},
    MatchCase{"a.b", "a*.", -1}, MatchCase{"x.y", "*x*.", -1}, MatchCase{"ab", "a*.", 1},
    // A '?' at the end of the name accepts nothing.
    MatchCase{"ab", "ab?", 1}, MatchCase{"abc", "ab?", 1}, MatchCase{"abcd", "ab?", 0}, MatchCase{"a", "ab?", 0},
    MatchCase{"a", "a??", 1}, MatchCase{"ab", "?b", 1}, MatchCase{"b", "?b", 0},
    // ASCII letters ignore case; other bytes compare exactly.
    MatchCase{"README", "readme", 1}, MatchCase{"ReadMe.TXT", "*.txt", 1}, MatchCase{"readm", "readme", 0},
    MatchCase{"readme1", "readme", 0}, MatchCase{"\xe9", "\xc9", 0},
    MatchCase{"a[1]", "A[1]", 1}, MatchCase{"{x}~", "[X]^", 0},
    MatchCase{"BA", "*a", 1}, MatchCase{"xa", "*A*", 1}, MatchCase{"", "", 1}, MatchCase{"a", "", 0},
    // Later occurrences of an anchor are tried when the first one leads nowhere.
    MatchCase{"a.txt.txt", "*.txt", 1}, MatchCase{"a.txt.bak", "*.txt", 0}, MatchCase{"banana.txt", "*a*.txt", 1},
    MatchCase{"aXbYc", "a*b*c", 1}, MatchCase{"abcb", "a*b*c", 0}, MatchCase{"xab", "a*", 0},
    // '?' right after '*' accepts any one character (or the end of the name).
    MatchCase{"abx", "*?x", 1}, MatchCase{"x", "*?x", 0}, MatchCase{"", "*?", 1}, MatchCase{"ab", "a*?b", 0},
    MatchCase{"acb", "a*?b", 1}));

// 0x83 0x61 and 0x83 0x41 end in the bytes of 'a' and 'A'; 0x95 0x5C ends in '\';
// 0x82 0x60 is the full-width A and 0x82 0x81 the full-width a; 0x81 0x44 a full-width dot.
INSTANTIATE_TEST_SUITE_P(Cases, WildcardMatchShiftJis, testing::Values(
    MatchCase{"\x83\x61", "a", 0}, MatchCase{"\x83\x61", "*a", 0}, MatchCase{"\x83\x61", "*A*", 0},
    MatchCase{"\x83\x41x", "*ax", 0}, MatchCase{"\x83\x41" "ax", "*ax", 1}, MatchCase{"\x95\x5c", "*\\", 0},
    MatchCase{"\x83\x61", "?", 1}, MatchCase{"\x83\x61", "??", 1}, MatchCase{"\x83\x61x", "?x", 1},
    MatchCase{"\x95\x5c.txt", "*.txt", 1}, MatchCase{"\x95\x5c.txt", "?.txt", 1},
    MatchCase{"\x95\x5c.txt", "??.txt", 0},
    MatchCase{"\x95\x5c.txt", "\x95\x5c*", 1}, MatchCase{"a\x83\x61", "*\x83\x61", 1},
    MatchCase{"a\x83\x61", "*\x83\x41", 0},
    MatchCase{"\x82\x60", "\x82\x60", 1}, MatchCase{"\x82\x60", "\x82\x81", 0}, MatchCase{"x\x82\x60", "*\x82\x81", 0},
    MatchCase{"\xb1", "\x83\x41", 0}, MatchCase{"a\x81\x44" "b", "*.", 1}, MatchCase{"a\x81\x44" "b", "*.*", 0}));

// U+00E9 is 0xC3 0xA9, U+00C9 0xC3 0x89; U+65E5 U+672C are 0xE6 0x97 0xA5, 0xE6 0x9C 0xAC.
INSTANTIATE_TEST_SUITE_P(Cases, WildcardMatchUtf8, testing::Values(
    MatchCase{"\xc3\xa9.txt", "?.txt", 1}, MatchCase{"\xc3\xa9.txt", "??.txt", 0}, MatchCase{"\xc3\xa9", "\xc3\x89", 0},
    MatchCase{"\xe6\x97\xa5\xe6\x9c\xac", "???", 1}, MatchCase{"\xe6\x97\xa5\xe6\x9c\xac", "?", 0},
    MatchCase{"\xe6\x97\xa5\xe6\x9c\xac.txt", "*\xe6\x9c\xac.TXT", 1}, MatchCase{"\xc3\xa9", "\xc3", 0},
    MatchCase{"x\xc3\xa9", "*\xc3\xa9", 1}));

struct Alphabet {
    const char* locale;
    std::vector<std::string> pieces;
};

// Short texts over few pieces, so that stars, dots and letters meet often; '*' and '?'
// stand twice, so that runs of '?' reach past the end of the name. A piece may be a
// lone byte of a multibyte character: the lead bytes 0x81 and 0xE0 take whatever byte
// follows them, '.', '*', '?' and '\' included, and a UTF-8 sequence may be cut.
std::string random_text(std::mt19937& random, const Alphabet& alphabet, size_t most_pieces)
{
    std::string text;
    for (size_t count = random() % (most_pieces + 1); count > 0; count--)
        text += alphabet.pieces[random() % alphabet.pieces.size()];
    return text;
}

TEST(WildcardMatchDifferential, agrees_with_the_backtracking_matcher_on_random_cases)
{
    const Alphabet alphabets[] = {
        {"C", {"a", "A", "b", ".", "*", "*", "?", "?", "\xe9"}},
        {"ja_JP.SJIS", {"a", "A", ".", "*", "*", "?", "?", "\\", "\x81", "\xe0", "\x83\x61", "\x95\x5c", "\x81\x44"}},
        {"en_US.UTF-8", {"a", "A", ".", "*", "*", "?", "?", "\xc3\xa9", "\xc3\x89", "\xe6\x97\xa5", "\xc3", "\xa9"}},
    };
    std::mt19937 random(20240611);
    int failures = 0;
    for (const Alphabet& alphabet : alphabets) {
        setenv("LC_ALL", alphabet.locale, 1);
        reload_code_page();
        for (int round = 0; round < 40000 && failures < 10; round++) {
            const std::string name = random_text(random, alphabet, 9);
            const std::string pattern = random_text(random, alphabet, 8);
            const int expected = reference_match(name.c_str(), pattern.c_str());
            const int result = wildcard_match(name.c_str(), pattern.c_str());
            if (result != expected) {
                ADD_FAILURE() << alphabet.locale << ": " << testing::PrintToString(name) << " ~ "
                              << testing::PrintToString(pattern) << " gave " << result << ", not " << expected;
                failures++;
            }
        }
    }
    setenv("LC_ALL", "C", 1);
    reload_code_page();
}

// Backtracking took a minute for six "*a" over 64 letters; here it would never end.
TEST(WildcardMatchDifferential, many_stars_over_a_long_name_end_at_once)
{
    const std::string name = std::string(251, 'a') + ".txt";
    std::string stars;
    for (int count = 0; count < 200; count++)
        stars += "*a";
    EXPECT_EQ(wildcard_match(name.c_str(), (stars + "*z").c_str()), 0);
    EXPECT_EQ(wildcard_match(name.c_str(), (stars + "*.").c_str()), -1);
    EXPECT_EQ(wildcard_match(name.c_str(), (stars + "*?t").c_str()), 1);
}

} // namespace
