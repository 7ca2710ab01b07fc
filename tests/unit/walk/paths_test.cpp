// Last components and extensions of paths, stepping over double-byte characters.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/posix/code_page.h"
#include "walk/paths.h"

static std::string last_of(const std::string& path)
{
    return last_component(path.c_str());
}

static std::string extension(const std::string& path)
{
    const char* found = extension_of(path.c_str());
    return found == nullptr ? "<none>" : found;
}

TEST(LastComponent, after_the_last_colon_then_the_last_backslash)
{
    EXPECT_EQ(last_of("C:\\a\\b.txt"), "b.txt");
    EXPECT_EQ(last_of("C:b.txt"), "b.txt");
    EXPECT_EQ(last_of("name"), "name");
    EXPECT_EQ(last_of("C:\\a\\"), "");
    EXPECT_EQ(last_of("D:"), "");
    EXPECT_EQ(last_of(""), "");
    EXPECT_EQ(last_of("a\\b:c\\d"), "d");
}

TEST(ExtensionOf, after_the_last_dot_of_the_last_component)
{
    EXPECT_EQ(extension("C:\\dir.x\\file"), "<none>");
    EXPECT_EQ(extension("a.tar.gz"), "gz");
    EXPECT_EQ(extension(".profile"), "profile");
    EXPECT_EQ(extension("name."), "");
    EXPECT_EQ(extension("C:\\a\\"), "<none>");
}

class ShiftJisPaths : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("LC_ALL", "ja_JP.SJIS", 1);
        reload_code_page();
    }
    void TearDown() override
    {
        setenv("LC_ALL", "C", 1);
        reload_code_page();
    }
};

TEST_F(ShiftJisPaths, trail_byte_0x5c_is_not_a_separator)
{
    // 0x95 0x5C is one character (表); only the real backslashes split.
    EXPECT_EQ(last_of("C:\\\x95\\dir\\\x95\\.txt"), "\x95\\.txt");
    EXPECT_EQ(last_of("C:\\a\\\x95\\"), "\x95\\");
    EXPECT_EQ(extension("C:\\\x95\\"), "<none>");
}

TEST(Utf8Paths, sequences_are_stepped_over_whole)
{
    setenv("LC_ALL", "en_US.UTF-8", 1);
    reload_code_page();
    EXPECT_EQ(last_of("Z:\\d\xc3\xa9j\xc3\xa0\\\xe6\x97\xa5.txt"), "\xe6\x97\xa5.txt");
    setenv("LC_ALL", "C", 1);
    reload_code_page();
}
