// Windows search patterns, matched as the file system matches them.
//
// Before a pattern reaches the file system Windows rewrites it: '?' becomes a "DOS
// question mark" that also matches nothing before a dot or the end, '*' followed by '.'
// becomes a "DOS star" that stops at the last dot, and a '.' followed by a wildcard or
// the end becomes a "DOS dot" that also matches the end of the name. The matcher works
// on those tokens, over the set of name positions reached so far, each token in one
// pass over the name, so no pattern costs more than the name's length times its own.
#include <cstring>
#include <vector>

#include "platform/posix/paths/names.h"
#include "platform/posix/searches/wildcard.h"

enum class Token { literal, star, dos_star, dos_question, dos_dot };

struct PatternToken {
    Token kind;
    const char* text;
    size_t length;
};

static std::vector<PatternToken> tokens_of(const char* pattern, size_t length)
{
    std::vector<PatternToken> tokens;
    const char* end = pattern + length;
    for (const char* p = pattern; p < end;) {
        const size_t step = character_length(p, end);
        const char next = p + step < end ? p[step] : '\0';
        Token kind = Token::literal;
        if (step == 1 && *p == '?')
            kind = Token::dos_question;
        else if (step == 1 && *p == '*')
            kind = next == '.' ? Token::dos_star : Token::star;
        else if (step == 1 && *p == '.' && (next == '?' || next == '*' || p + 1 == end))
            kind = Token::dos_dot;
        tokens.push_back({kind, p, step});
        p += step;
    }
    return tokens;
}

static bool literal_equal(const PatternToken& token, const char* name, size_t length)
{
    if (token.length != length)
        return false;
    if (length == 1)
        return ascii_upper(*token.text) == ascii_upper(*name);
    return memcmp(token.text, name, length) == 0;
}

// A star reaches every position from the first one reached on, a DOS star from each
// reached position to the last dot (to the end when it stands past the last dot). One
// sweep with the farthest end so far keeps a star linear in the name, however many
// positions are reached.
static void spread(const PatternToken& token, size_t last_dot, const std::vector<bool>& reached,
                   std::vector<bool>& next)
{
    const size_t count = reached.size() - 1;
    size_t covered_to = 0;
    bool covering = false;
    for (size_t i = 0; i <= count; i++) {
        if (reached[i]) {
            const bool to_dot = token.kind == Token::dos_star && last_dot != SIZE_MAX && last_dot >= i;
            const size_t limit = to_dot ? last_dot : count;
            covered_to = covering && covered_to > limit ? covered_to : limit;
            covering = true;
        }
        if (covering && i <= covered_to)
            next[i] = true;
    }
}

// Positions are character starts of the name; reached[i] says the pattern so far can
// end just before character i (i == count: the end of the name).
static void advance(const PatternToken& token, const std::vector<size_t>& starts, size_t last_dot,
                    const char* name, const std::vector<bool>& reached, std::vector<bool>& next)
{
    if (token.kind == Token::star || token.kind == Token::dos_star) {
        spread(token, last_dot, reached, next);
        return;
    }
    const size_t count = starts.size() - 1;
    for (size_t i = 0; i <= count; i++) {
        if (!reached[i])
            continue;
        const char* at = name + starts[i];
        const size_t at_length = i < count ? starts[i + 1] - starts[i] : 0;
        const bool at_dot = i < count && at_length == 1 && *at == '.';
        switch (token.kind) {
        case Token::literal:
            if (i < count && literal_equal(token, at, at_length))
                next[i + 1] = true;
            break;
        case Token::dos_question:
            if (i == count || at_dot)
                next[i] = true;
            else
                next[i + 1] = true;
            break;
        case Token::dos_dot:
            if (i == count)
                next[i] = true;
            else if (at_dot)
                next[i + 1] = true;
            break;
        case Token::star:
        case Token::dos_star:
            break;
        }
    }
}

bool wildcard_matches(const char* pattern, size_t pattern_length, const char* name, size_t name_length)
{
    if ((pattern_length == 1 && pattern[0] == '*') || (pattern_length == 3 && memcmp(pattern, "*.*", 3) == 0))
        return true;
    std::vector<size_t> starts;
    size_t last_dot = SIZE_MAX;
    const char* end = name + name_length;
    for (const char* p = name; p < end; p += character_length(p, end)) {
        if (*p == '.')
            last_dot = starts.size();
        starts.push_back(static_cast<size_t>(p - name));
    }
    starts.push_back(name_length);
    const size_t count = starts.size() - 1;
    std::vector<bool> reached(count + 1, false), next(count + 1, false);
    reached[0] = true;
    for (const PatternToken& token : tokens_of(pattern, pattern_length)) {
        next.assign(count + 1, false);
        advance(token, starts, last_dot, name, reached, next);
        reached.swap(next);
    }
    return reached[count];
}
