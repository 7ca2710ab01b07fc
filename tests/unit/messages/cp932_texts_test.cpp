// The Japanese texts are CP932 bytes, whatever the source file's encoding: one check of
// the encoding; the language a run chooses is seen end to end.
#include <gtest/gtest.h>

#include <string>

#include "messages/messages.h"

TEST(JapaneseTexts, are_shift_jis_and_keep_a_trail_byte_0x5c)
{
    // パラメータが不正です. [%s]
    EXPECT_STREQ(MSG_PARAMETER_ERROR.japanese,
                 "\x83\x70\x83\x89\x83\x81\x81\x5B\x83\x5E\x82\xAA\x95\x73\x90\xB3\x82\xC5\x82\xB7. [%s]\n");
    // ソ is 0x83 0x5C.
    EXPECT_EQ(std::string(MSG_SAME_DIRECTORY.japanese).substr(0, 2), "\x83\x5C");
}
