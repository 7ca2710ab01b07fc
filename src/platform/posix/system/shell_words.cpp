// Path variables of a /X command as literal words of the shell's script.
//
// The command text the user wrote is shell code; the names put into it are not. Rather
// than escape a name for every place a shell could read it, the script carries each
// name once, in single quotes at its start (where the program alone decides the
// quoting), and the command refers to it. The scan below follows the command's quotes
// only to choose how a reference is written where the name stood: "${v}" bare, ${v}
// inside double quotes, '"${v}"' inside single quotes. What only a whole shell reads
// right (an escaped quote within backquotes within double quotes, a case pattern's ')'
// within $(...)) may leave a word split or quoted twice, never run.
#include "platform/posix/system/shell_words.h"

#include <cstring>
#include <vector>

namespace {

enum class Quoting { bare, double_quoted, single_quoted, comment };

// A command substitution: $( ... ) or ` ... `, and the quoting around it.
struct Substitution {
    char closer;
    int open_parentheses;
    Quoting outside;
};

class QuoteScan {
public:
    void pass(char c)
    {
        const bool escaped = escape_pending;
        const bool dollar = after_dollar;
        escape_pending = false;
        after_dollar = false;
        if (escaped) {
            word_start = false;
            return;
        }
        switch (quoting) {
        case Quoting::single_quoted:
            if (c == '\'')
                quoting = Quoting::bare;
            else if (c == '`' && closes_backquote())
                leave_substitution();
            break;
        case Quoting::comment:
            if (c == '\n')
                quoting = Quoting::bare;
            break;
        case Quoting::double_quoted:
            if (c == '"')
                quoting = Quoting::bare;
            else
                pass_code(c, dollar);
            break;
        case Quoting::bare:
            if (c == '\'')
                quoting = Quoting::single_quoted;
            else if (c == '"')
                quoting = Quoting::double_quoted;
            else if (c == '#' && word_start)
                quoting = Quoting::comment;
            else
                pass_code(c, dollar);
            break;
        }
        word_start = quoting == Quoting::bare && strchr(" \t\n;&|()", c) != nullptr;
    }

    // How the shell is to read the word's variable at this point of the command.
    std::string reference(const std::string& variable) const
    {
        // A backslash before the word escapes nothing of it: with a newline after it,
        // it is a line continuation, which the shell drops.
        const std::string lead = escape_pending ? "\n" : "";
        switch (quoting) {
        case Quoting::single_quoted: return "'\"${" + variable + "}\"'";
        case Quoting::double_quoted:
            // After a '$' the reference would read as "$$": the quotes close between.
            return lead + (after_dollar ? "\"\"${" : "${") + variable + "}";
        default: return lead + "\"${" + variable + "}\"";
        }
    }

    // The word's text stands where the scan is; the command goes on after it.
    void skip_word()
    {
        escape_pending = false;
        after_dollar = false;
        word_start = false;
    }

private:
    // What '\', '$(', ')' and '`' do outside single quotes.
    void pass_code(char c, bool dollar)
    {
        if (c == '\\')
            escape_pending = true;
        else if (c == '$')
            after_dollar = true;
        else if (c == '(' && dollar)
            enter_substitution(')');
        else if (c == '(' && !substitutions.empty() && quoting == Quoting::bare)
            substitutions.back().open_parentheses++;
        else if (c == ')' && quoting == Quoting::bare && !substitutions.empty() && substitutions.back().closer == ')')
            close_parenthesis();
        else if (c == '`')
            closes_backquote() ? leave_substitution() : enter_substitution('`');
    }

    void enter_substitution(char closer)
    {
        substitutions.push_back({closer, 0, quoting});
        quoting = Quoting::bare;
    }

    void close_parenthesis()
    {
        if (substitutions.back().open_parentheses > 0)
            substitutions.back().open_parentheses--;
        else
            leave_substitution();
    }

    bool closes_backquote() const { return !substitutions.empty() && substitutions.back().closer == '`'; }

    void leave_substitution()
    {
        quoting = substitutions.back().outside;
        substitutions.pop_back();
    }

    Quoting quoting = Quoting::bare;
    std::vector<Substitution> substitutions;
    bool escape_pending = false;
    bool after_dollar = false;
    bool word_start = true;
};

// Single quotes take every byte as it is but their own, which closes them: a quote in
// the text becomes '\'' (close, an escaped quote, open again).
std::string single_quoted(const char* text, size_t length)
{
    std::string quoted = "'";
    for (size_t i = 0; i < length; i++)
        quoted += text[i] == '\'' ? std::string("'\\''") : std::string(1, text[i]);
    return quoted + "'";
}

}  // namespace

std::string shell_script_with_words(const char* command, const CommandWord* words, uint32_t word_count)
{
    std::string assignments, script;
    QuoteScan scan;
    uint32_t position = 0;
    for (uint32_t index = 0; index < word_count; index++) {
        const CommandWord& word = words[index];
        for (; position < word.start; position++) {
            scan.pass(command[position]);
            script += command[position];
        }
        const std::string variable = "orva_word_" + std::to_string(index + 1);
        assignments += variable + "=" + single_quoted(command + word.start, word.end - word.start) + "\n";
        script += scan.reference(variable);
        scan.skip_word();
        position = word.end;
    }
    return assignments + script + (command + position);
}
