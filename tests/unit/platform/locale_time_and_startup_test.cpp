// Code pages and the user's language from the locale variables, and the start-up
// conventions of the command line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/paths/code_page.h"

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

// LC_ALL, then LC_CTYPE, then LANG choose the code page; LC_ALL, then LC_MESSAGES, then
// LANG decide whether a language part of ja makes the user Japanese. An empty one does
// not count.
TEST_F(Locale, the_variables_choose_the_code_page_and_the_language)
{
    const LANGID J = MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), E = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const struct {
        const char* variables;
        UINT code_page;
        LANGID language;
    } cases[] = {
        {"LANG=ja_JP.SJIS", 932, J},        {"LANG=ja_JP.sjis", 932, J},       {"LANG=ja_JP.Shift_JIS", 932, J},
        {"LANG=ja_JP.CP932", 932, J},       {"LANG=ja_JP.932", 932, J},        {"LANG=ja_JP.SJIS@euro", 932, J},
        {"LANG=en_US.UTF-8", CP_UTF8, E},   {"LANG=C.utf8", CP_UTF8, E},       {"LANG=ja_JP", 1252, J},
        {"LANG=C", 1252, E},                {"LANG=ja_JP.EUC-JP", 1252, J},    {"LANG=ja_JP.utf8", CP_UTF8, J},
        {"LANG=ja.UTF-8", CP_UTF8, J},      {"LANG=ja", 1252, J},              {"LANG=ja@cjknarrow", 1252, J},
        {"LANG=jam_JM.UTF-8", CP_UTF8, E},  {"LANG=", 1252, E},
        {"LANG=ja_JP.SJIS LC_CTYPE=en_US.UTF-8", CP_UTF8, J},
        {"LC_ALL= LC_CTYPE=en_US.UTF-8 LANG=ja_JP.SJIS", CP_UTF8, J},
        {"LC_ALL=C LC_CTYPE=en_US.UTF-8", 1252, E},          {"LC_ALL=C LANG=ja_JP.UTF-8", 1252, E},
        {"LC_MESSAGES=ja_JP.UTF-8 LANG=C", 1252, J},         {"LC_MESSAGES=C LANG=ja_JP.UTF-8", CP_UTF8, E},
        {"LC_ALL= LANG=ja_JP.UTF-8", CP_UTF8, J},            {"LC_CTYPE=ja_JP.UTF-8 LANG=C", CP_UTF8, E},
    };
    for (const auto& c : cases) {
        use(c.variables);
        EXPECT_EQ(GetACP(), c.code_page) << c.variables;
        EXPECT_EQ(GetConsoleOutputCP(), c.code_page) << c.variables;
        EXPECT_EQ(GetUserDefaultUILanguage(), c.language) << c.variables;
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
