// The option rules: which letters mean what where they could mean two things, which
// settings a later option resets, and which combinations are refused.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "driver/driver.h"
#include "records/run_settings.h"

// Runs the argument scan as a fresh run would; the settings point into the argument
// texts, so the texts live as long as the test.
static int scan_words(const std::vector<std::string>& words)
{
    static std::deque<std::string> storage;
    reset_run_settings();
    std::vector<char*> argv;
    for (const std::string& word : words) {
        storage.push_back(word);
        argv.push_back(storage.back().data());
    }
    argv.insert(argv.begin(), storage.emplace_back("orva").data());
    argv.push_back(nullptr);
    return scan_arguments(static_cast<int>(argv.size()) - 1, argv.data());
}

struct AcceptedCase {
    std::vector<std::string> words;
    std::function<void()> check;
};

class AcceptedOptions : public testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedOptions, follow_the_rule)
{
    testing::internal::CaptureStdout();
    const int ok = scan_words(GetParam().words);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(ok, 1) << printed;
    GetParam().check();
}

#define S settings
static const AcceptedCase accepted_cases[] = {
    // The last of two options wins, a list adds up.
    {{"/L5", "/Y4", "/Y2"}, [] { EXPECT_EQ(S.list_mode, 5); EXPECT_EQ(S.year_4_digits, 0); }},
    {{"/+R", "/+H"}, [] { EXPECT_EQ(S.attr_to_add, 0x02u); }},
    {{"/W='*.c'", "/W='*.h,*.txt'"}, [] { EXPECT_STREQ(S.include_file_names, ",*.c,*.h,*.txt"); }},
    {{"/M0"}, [] { EXPECT_EQ(S.pause_every, 24); }},
    // A letter after the attribute letters, the hex digits or a verify letter is read as
    // one of them first.
    {{"/+RHI"}, [] { EXPECT_EQ(S.attr_to_add, 0x03u); EXPECT_EQ(S.confirm, 0); }},
    {{"/&rh/!D"}, [] { EXPECT_EQ(S.attr_all_of, 0x03u); EXPECT_EQ(S.attr_none_of, 0x10u); }},
    {{"/FI12E"}, [] { EXPECT_EQ(S.crc_initial_value, 0x12Eu); EXPECT_EQ(S.continue_on_error, 0); }},
    {{"/FIP"}, [] { EXPECT_EQ(S.crc_initial_value, 0u); EXPECT_EQ(S.show_progress, 1); }},
    {{"/FI123456789"}, [] { EXPECT_EQ(S.crc_initial_value, 0xFFFFFFFFu); }},
    {{"/VNAHRSLD2VEP"}, [] {
         EXPECT_EQ(S.verify_content, 0); EXPECT_EQ(S.verify_attr_mask, 0x27u); EXPECT_EQ(S.verify_date, 1);
         EXPECT_EQ(S.verify_show_all, 0); EXPECT_EQ(S.continue_on_error, 1); EXPECT_EQ(S.show_progress, 1);
     }},
    {{"/XAFIN:|cmd|"}, [] {
         EXPECT_EQ(S.exec_full_path, 1); EXPECT_EQ(S.exec_double_dollar, 1); EXPECT_EQ(S.confirm, 0);
         EXPECT_EQ(S.exec_quiet, 1); EXPECT_STREQ(S.exec_command, "cmd");
     }},
    // A later operation resets the modifiers of the one before, but /E of a deletion
    // stays for a copy.
    {{"/C2PT", "/U"}, [] { EXPECT_EQ(S.two_second_tolerance, 0); EXPECT_EQ(S.write_through, 0); }},
    {{"/RE", "/C"}, [] { EXPECT_EQ(S.operation, OP_COPY); EXPECT_EQ(S.continue_on_error, 1); }},
    {{"/RE", "/V"}, [] { EXPECT_EQ(S.operation, OP_VERIFY); EXPECT_EQ(S.continue_on_error, 0); }},
    {{"/VD", "/V"}, [] { EXPECT_EQ(S.verify_date, 0); EXPECT_EQ(S.verify_content, 1); }},
    {{"/ST", "/S1"}, [] { EXPECT_EQ(S.size_total_only, 0); EXPECT_EQ(S.size_unit, 1024u); }},
    // A date alone is the end of its day for /A and /BE, its start for /AE and /B; E makes
    // the bound inclusive until the next /A or /B without it.
    {{"/A2008-05-01"}, [] { EXPECT_EQ(S.oldest_date, 128541599999990000ull); }},
    {{"/AE2008-05-01"}, [] { EXPECT_EQ(S.oldest_date, 128540736000000000ull); }},
    {{"/B2008-05-01"}, [] { EXPECT_EQ(S.newest_date, 128540736000000000ull); }},
    {{"/BE2008-05-01"}, [] {
         EXPECT_EQ(S.newest_date, 128541599999990000ull);
         EXPECT_EQ(S.filter_flags, DATE_RANGE_GIVEN | NEWEST_INCLUSIVE);
     }},
    {{"/AE2008-05-01", "/A2008-05-02"}, [] { EXPECT_EQ(S.filter_flags, DATE_RANGE_GIVEN); }},
    {{"/A2008-05-02", "/AE2008-05-01"}, [] { EXPECT_EQ(S.filter_flags, DATE_RANGE_GIVEN | OLDEST_INCLUSIVE); }},
};
#undef S

INSTANTIATE_TEST_SUITE_P(Table, AcceptedOptions, testing::ValuesIn(accepted_cases));

// Conflicting modifiers, numbers out of range, letters an option does not take, and
// dates an option cannot complete.
TEST(RefusedOptions, are_refused)
{
    for (const char* word : {"/CMV", "/CVM", "/CRM", "/UMR", "/513", "/4294967296", "/Y3", "/S3", "/S64", "/S0.4",
                             "/+D", "/-RD", "/W", "/Ix", "/X", "/XZ='a'", "/D2008-01-01", "/DI2008-01-01,12:00:00I",
                             "/A", "/B2008-05-01,12:00", "/TX", "/EE", "/?G", "/Q1.5", "/L1 \"unclosed"}) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(scan_words({word}), 0) << word;
        testing::internal::GetCapturedStdout();
    }
}

TEST(OptionScan, paths_and_options_mix_and_a_refusal_keeps_what_came_before_and_after)
{
    EXPECT_EQ(scan_words({"src", "/L0", "dst", "/Y4", "third"}), 1);
    EXPECT_STREQ(settings.source_arg, "src");
    EXPECT_STREQ(settings.destination_arg, "dst");
    testing::internal::CaptureStdout();
    EXPECT_EQ(scan_words({"/L3/Y4/Z", "/Q2", "path"}), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(settings.list_mode, 3);
    EXPECT_EQ(settings.year_4_digits, 1);
    EXPECT_EQ(settings.beep_count, 2);
    EXPECT_STREQ(settings.source_arg, "path");
}
