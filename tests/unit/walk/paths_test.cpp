// Last components and extensions of paths, stepping over multibyte characters.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/posix/paths/code_page.h"
#include "walk/paths.h"

// Under CP932 0x95 0x5C is one character (表): only the real backslashes split.
TEST(Paths, last_component_and_extension)
{
    const struct {
        const char* locale;
        const char* path;
        const char* last;
        const char* extension;  // nullptr: none
    } cases[] = {
        {"C", "C:\\a\\b.txt", "b.txt", "txt"}, {"C", "C:b", "b", nullptr},
        {"C", "a\\b:c\\d.tar.gz", "d.tar.gz", "gz"}, {"C", "D:", "", nullptr},
        {"C", "C:\\dir.x\\file", "file", nullptr}, {"C", "C:\\dir.x\\", "", nullptr},
        {"C", ".profile", ".profile", "profile"}, {"C", "name.", "name.", ""},
        {"ja_JP.SJIS", "C:\\\x95\\dir\\\x95\\.txt", "\x95\\.txt", "txt"},
        {"ja_JP.SJIS", "C:\\a.b\\\x95\\", "\x95\\", nullptr},
        {"en_US.UTF-8", "Z:\\d\xc3\xa9j\xc3\xa0\\\xe6\x97\xa5.txt", "\xe6\x97\xa5.txt", "txt"},
    };
    for (const auto& c : cases) {
        setenv("LC_ALL", c.locale, 1);
        reload_code_page();
        EXPECT_STREQ(last_component(c.path), c.last) << c.path;
        const char* extension = extension_of(c.path);
        EXPECT_STREQ(extension ? extension : "<none>", c.extension ? c.extension : "<none>") << c.path;
    }
    setenv("LC_ALL", "C", 1);
    reload_code_page();
}
