// Code pages and the user's language from the locale variables, and the start-up
// conventions of the command line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/code_page.h"

class Locale : public testing::Test {
protected:
    void TearDown() override { use("LC_ALL=C"); }
    // Sets the locale variables a case names ("LC_ALL= LANG=ja_JP.SJIS": LC_ALL empty)
    // and unsets the others.
    static void use(const std::string& assignments)
    {
        for (const char* name : {"LC_ALL", "LC_CTYPE", "LC_MESSAGES", "LANG"})
            unsetenv(name);
        std::istringstream words(assignments);
        for (std::string word; words >> word;)
            setenv(word.substr(0, word.find('=')).c_str(), word.substr(word.find('=') + 1).c_str(), 1);
        reload_code_page();
    }
};

// LC_ALL, then LC_CTYPE, then LANG choose the code page; an empty one does not count.
TEST_F(Locale, charset_names_choose_the_code_page)
{
    const std::pair<const char*, UINT> cases[] = {
        {"LANG=ja_JP.SJIS", 932},        {"LANG=ja_JP.sjis", 932},  {"LANG=ja_JP.Shift_JIS", 932},
        {"LANG=ja_JP.CP932", 932},       {"LANG=ja_JP.932", 932},   {"LANG=ja_JP.SJIS@euro", 932},
        {"LANG=en_US.UTF-8", CP_UTF8},   {"LANG=C.utf8", CP_UTF8},  {"LANG=ja_JP", 1252},
        {"LANG=C", 1252},                {"LANG=ja_JP.EUC-JP", 1252},
        {"LANG=ja_JP.SJIS LC_CTYPE=en_US.UTF-8", CP_UTF8}, {"LC_ALL= LC_CTYPE=en_US.UTF-8 LANG=ja_JP.SJIS", CP_UTF8},
        {"LC_ALL=C LC_CTYPE=en_US.UTF-8", 1252},
    };
    for (const auto& [variables, code_page] : cases) {
        use(variables);
        EXPECT_EQ(GetACP(), code_page) << variables;
        EXPECT_EQ(GetConsoleOutputCP(), code_page) << variables;
    }
}

// A language part of ja makes the user Japanese: LC_ALL, then LC_MESSAGES, then LANG
// decide, LC_CTYPE does not.
TEST_F(Locale, a_language_part_of_ja_makes_the_user_japanese)
{
    const LANGID japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN);
    const LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const std::pair<const char*, LANGID> cases[] = {
        {"LANG=ja_JP.UTF-8", japanese},  {"LANG=ja_JP.utf8", japanese},    {"LANG=ja.UTF-8", japanese},
        {"LANG=ja", japanese},           {"LANG=ja@cjknarrow", japanese},  {"LANG=ja_JP.SJIS", japanese},
        {"LANG=jam_JM.UTF-8", english},  {"LANG=en_US.UTF-8", english},    {"LANG=C.UTF-8", english},
        {"LANG=", english},              {"LC_ALL=C LANG=ja_JP.UTF-8", english},
        {"LC_MESSAGES=ja_JP.UTF-8 LANG=C", japanese}, {"LC_MESSAGES=C LANG=ja_JP.UTF-8", english},
        {"LC_ALL= LANG=ja_JP.UTF-8", japanese},       {"LC_CTYPE=ja_JP.UTF-8 LANG=C", english},
    };
    for (const auto& [variables, language] : cases) {
        use(variables);
        EXPECT_EQ(GetUserDefaultUILanguage(), language) << variables;
    }
}

TEST(Startup, slashes_in_paths_become_backslashes_and_options_stay)
{
    std::vector<std::string> words = {"orva", "/C", "src/sub", "Z:/home/u", "/W='a/b'", "plain"};
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    prepare_arguments(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(std::vector<std::string>(argv.begin() + 1, argv.end()),
              (std::vector<std::string>{"/C", "src\\sub", "Z:\\home\\u", "/W='a/b'", "plain"}));
}
