// 8.3 aliases: which names keep their form, the NAME~N.EXT numbering, and resolution
// from long names to short ones and back.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "layer_helpers.h"

static std::string upper(std::string text)
{
    for (char& c : text)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    return text;
}

static std::string last_of(const std::string& path)
{
    return path.substr(path.rfind('\\') + 1);
}

// The characters an alias keeps of a part of the name.
static std::string kept(std::string part)
{
    std::erase_if(part, [](char c) { return c == ' ' || c == '+' || c == '.'; });
    return part;
}

// The aliases the layer must give names made of letters, spaces, '+', '~', '1' and dots:
// a name whose upper-case form is a valid 8.3 name keeps it (of case twins only the one
// spelled in upper case does); the others take six valid characters of the part before
// the last dot (a leading dot starts no extension; none at all give '_'), fewer past ~9, and three of the
// extension, numbered in the directory's order and unique in it, also among the real
// names that look like aliases.
static std::map<std::string, std::string> model_aliases(const std::vector<std::string>& names)
{
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
        return upper(a) != upper(b) ? upper(a) < upper(b) : a < b;
    });
    std::map<std::string, int> forms;
    for (const std::string& name : names)
        forms[upper(name)]++;
    std::map<std::string, std::string> aliases;
    std::set<std::string> taken;
    for (const std::string& name : sorted) {
        const size_t dot = name.find('.');
        const std::string stem = name.substr(0, dot), extension = dot == std::string::npos ? "" : name.substr(dot + 1);
        const bool valid = !stem.empty() && stem.size() <= 8 && (dot == std::string::npos || !extension.empty()) &&
                           extension.size() <= 3 && name.find_first_of(" +") == std::string::npos &&
                           extension.find('.') == std::string::npos;
        if (valid && (forms[upper(name)] == 1 || name == upper(name))) {
            aliases[name] = "";
            taken.insert(upper(name));
        }
    }
    for (const std::string& name : sorted) {
        if (aliases.count(name))
            continue;
        const size_t last_dot = name.rfind('.');
        const size_t dot = last_dot == 0 ? std::string::npos : last_dot;
        std::string base = kept(name.substr(0, dot)), extension = dot == std::string::npos ? "" : kept(name.substr(dot + 1));
        if (base.empty())
            base = "_";
        extension = upper(extension.substr(0, 3));
        for (int number = 1;; number++) {
            const std::string tail = "~" + std::to_string(number);
            const std::string alias = upper(base.substr(0, 8 - tail.size())) + tail + (extension.empty() ? "" : ".") + extension;
            if (taken.insert(alias).second) {
                aliases[name] = alias;
                break;
            }
        }
    }
    return aliases;
}

TEST(Aliases, random_names_get_the_aliases_of_the_model_and_each_alias_finds_its_entry)
{
    std::mt19937 random(21);
    const std::string letters = "aAbB +.~1";
    const char* const extensions[] = {"", ".t", ".tx", ".txt", ".TXTX"};
    for (int round = 0; round < 4; round++) {
        TempTree tree;
        std::set<std::string> unique;
        while (unique.size() < 120) {
            std::string stem(1, "aAbB."[random() % 5]);
            for (size_t length = 1 + random() % 9; stem.size() < length;)
                stem += letters[random() % letters.size()];
            const std::string name = stem + extensions[random() % 5];
            unique.insert(name.back() == '.' ? name + "a" : name);  // a trailing dot is no part of a path
        }
        const std::vector<std::string> names(unique.begin(), unique.end());
        for (const std::string& name : names)
            tree.file(name);
        for (const auto& [name, alias] : model_aliases(names)) {
            const WIN32_FIND_DATAA record = record_of(tree.windows(name));
            EXPECT_EQ(record.cAlternateFileName, alias) << name;
            EXPECT_EQ(last_of(short_path(tree.windows(name))), alias.empty() ? name : alias) << name;
            EXPECT_STREQ(record_of(tree.windows(alias.empty() ? name : alias)).cFileName, name.c_str()) << alias;
        }
    }
}

// The layer edits the table of a directory it changes instead of reading it again; the
// aliases must still be the ones a scan gives, and a lookup by alias must find them.
TEST(Aliases, the_layer_s_own_changes_give_the_aliases_a_new_scan_gives)
{
    TempTree tree;
    tree.file("Long File B.txt");
    EXPECT_EQ(last_of(short_path(tree.windows("Long File B.txt"))), "LONGFI~1.TXT");
    HANDLE file = CreateFileA(tree.windows("Long File A.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_STREQ(record_of(tree.windows("LONGFI~2.TXT")).cFileName, "Long File B.txt");
    EXPECT_EQ(last_of(short_path(tree.windows("Long File A.txt"))), "LONGFI~1.TXT");
    EXPECT_TRUE(DeleteFileA(tree.windows("Long File A.txt").c_str()));
    EXPECT_EQ(search_names(tree.windows("LONGFI~2.TXT")), std::vector<std::string>{});
    ASSERT_TRUE(CreateDirectoryA(tree.windows("Long Directory").c_str(), nullptr));
    EXPECT_EQ(last_of(short_path(tree.windows("Long File B.txt"))), "LONGFI~1.TXT");
    EXPECT_EQ(last_of(short_path(tree.windows("Long Directory"))), "LONGDI~1");
}
