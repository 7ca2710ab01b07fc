// The wildcard matcher: the rules a reader needs to see, then a differential test
// against the backtracking matcher it replaced.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/posix/paths/code_page.h"
#include "unit/walk/backtracking_match.h"
#include "walk/wildcard_match.h"

static void use_locale(const char* locale)
{
    setenv("LC_ALL", locale, 1);
    reload_code_page();
}

// The backtracking matcher compares characters as the program does, so the case rule
// and the multibyte units stand here on their own.
TEST(WildcardMatch, star_question_dot_case_and_multibyte_rules)
{
    const struct { const char *locale, *name, *pattern; int expected; } cases[] = {
        {"C", "", "*", 1}, {"C", "a.cpp", "a.c", 0}, {"C", "a.txt.bak", "*.txt", 0}, {"C", "ab", "*.*", 0},
        {"C", "a.", "*.*", 1},
        // "*." accepts names without a dot and refuses the others with -1.
        {"C", "abc", "*.", 1}, {"C", "a.b", "*.", -1},
        // A '?' at the end of the name accepts nothing, after a star too.
        {"C", "ab", "ab?", 1}, {"C", "abcd", "ab?", 0}, {"C", "xa", "*a?", 1},
        // ASCII letters ignore case; other bytes compare exactly.
        {"C", "ReadMe.TXT", "*.txt", 1}, {"C", "xa", "*A*", 1}, {"C", "\xe9", "\xc9", 0},
        // 0x83 0x61 ends in the byte of 'a', 0x95 0x5C in '\'; 0x82 0x60 and 0x82 0x81 are
        // the full-width A and a; 0x81 0x44 is a full-width dot.
        {"ja_JP.SJIS", "\x83\x61", "*a", 0}, {"ja_JP.SJIS", "\x83\x61", "?", 1},
        {"ja_JP.SJIS", "\x95\x5c.txt", "??.txt", 0}, {"ja_JP.SJIS", "\x82\x60", "\x82\x81", 0},
        {"ja_JP.SJIS", "a\x81\x44" "b", "*.", 1},
        // A UTF-8 sequence is one character.
        {"en_US.UTF-8", "\xc3\xa9.txt", "?.txt", 1}, {"en_US.UTF-8", "\xc3\xa9", "\xc3\x89", 0},
    };
    for (const auto& c : cases) {
        use_locale(c.locale);
        EXPECT_EQ(wildcard_match(c.name, c.pattern), c.expected)
            << c.locale << ": " << testing::PrintToString(std::string(c.name)) << " ~ " << c.pattern;
    }
    use_locale("C");
}

// Short texts over few pieces, so that stars, dots and letters meet often. A piece may
// be a lone byte of a multibyte character: a lead byte takes whatever byte follows it.
static std::string random_text(std::mt19937& random, const std::vector<std::string>& pieces, size_t most_pieces)
{
    std::string text;
    for (size_t count = random() % (most_pieces + 1); count > 0; count--)
        text += pieces[random() % pieces.size()];
    return text;
}

TEST(WildcardMatchDifferential, agrees_with_the_backtracking_matcher_on_random_cases)
{
    const struct {
        const char* locale;
        std::vector<std::string> pieces;
    } alphabets[] = {
        {"C", {"a", "A", "b", ".", "*", "*", "?", "?", "\xe9"}},
        {"ja_JP.SJIS", {"a", "A", ".", "*", "*", "?", "?", "\\", "\x81", "\xe0", "\x83\x61", "\x95\x5c", "\x81\x44"}},
        {"en_US.UTF-8", {"a", "A", ".", "*", "*", "?", "?", "\xc3\xa9", "\xc3\x89", "\xe6\x97\xa5", "\xc3", "\xa9"}},
    };
    std::mt19937 random(20240611);
    int failures = 0;
    for (const auto& alphabet : alphabets) {
        use_locale(alphabet.locale);
        for (int round = 0; round < 40000 && failures < 10; round++) {
            const std::string name = random_text(random, alphabet.pieces, 9);
            const std::string pattern = random_text(random, alphabet.pieces, 8);
            const int expected = reference_match(name.c_str(), pattern.c_str());
            const int result = wildcard_match(name.c_str(), pattern.c_str());
            if (result != expected) {
                ADD_FAILURE() << alphabet.locale << ": " << testing::PrintToString(name) << " ~ "
                              << testing::PrintToString(pattern) << " gave " << result << ", not " << expected;
                failures++;
            }
        }
    }
    use_locale("C");
}
