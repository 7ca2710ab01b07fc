// Every option's letters, numbers, resets and refusals, read back from the settings.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "unit/driver/scan_helper.h"

struct AcceptedCase {
    std::vector<std::string> words;
    std::function<void()> check;
};

class AcceptedOptions : public testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedOptions, sets_what_it_says)
{
    testing::internal::CaptureStdout();
    const int ok = scan_words(GetParam().words);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(ok, 1) << printed;
    EXPECT_EQ(printed, "");
    GetParam().check();
}

#define S settings
static const AcceptedCase accepted_cases[] = {
    {{}, [] {
         EXPECT_EQ(S.operation, OP_LIST); EXPECT_EQ(S.layer_count, 512); EXPECT_EQ(S.list_mode, 1);
         EXPECT_EQ(S.year_4_digits, 0); EXPECT_EQ(S.confirm, 1); EXPECT_EQ(S.newest_date, UINT64_MAX);
         EXPECT_EQ(S.included_dir_depth, 1); EXPECT_EQ(S.verify_default_attrs, 0x37u);
     }},
    {{"/0"}, [] { EXPECT_EQ(S.layer_count, 0); }},
    {{"/512"}, [] { EXPECT_EQ(S.layer_count, 512); }},
    {{"/130"}, [] { EXPECT_EQ(S.layer_count, 130); }},
    {{"/L1/Y4"}, [] { EXPECT_EQ(S.list_mode, 1); EXPECT_EQ(S.year_4_digits, 1); }},
    {{"/L5", "/Y4", "/Y2"}, [] { EXPECT_EQ(S.list_mode, 5); EXPECT_EQ(S.year_4_digits, 0); }},
    {{"/L"}, [] { EXPECT_EQ(S.list_mode, 0); }},
    {{"/l7"}, [] { EXPECT_EQ(S.list_mode, 7); }},
    {{"/L1 word"}, [] { EXPECT_EQ(S.list_mode, 1); }},
    {{"/L1 \"a b/c\" /Y4"}, [] { EXPECT_EQ(S.year_4_digits, 1); }},
    {{"/L2\t/Q3"}, [] { EXPECT_EQ(S.list_mode, 2); EXPECT_EQ(S.beep_count, 3); }},
    {{"/M"}, [] { EXPECT_EQ(S.pause_every, 24); }},
    {{"/M0"}, [] { EXPECT_EQ(S.pause_every, 24); }},
    {{"/M5"}, [] { EXPECT_EQ(S.pause_every, 5); }},
    {{"/Q"}, [] { EXPECT_EQ(S.beep_count, 0); }},
    {{"/E"}, [] { EXPECT_EQ(S.english, 1); }},
    {{"/!RHSAD"}, [] { EXPECT_EQ(S.attr_none_of, 0x37u); }},
    {{"/&rh"}, [] { EXPECT_EQ(S.attr_all_of, 0x03u); }},
    {{"/=A", "/:sv"}, [] { EXPECT_EQ(S.attr_any_of, 0x04u); }},
    {{"/="}, [] { EXPECT_EQ(S.attr_any_of, 0u); }},
    {{"/+R/-A"}, [] {
         EXPECT_EQ(S.operation, OP_ATTRIB); EXPECT_EQ(S.attr_to_add, 0x01u); EXPECT_EQ(S.attr_to_remove, 0x20u);
         EXPECT_EQ(S.confirm, 1);
     }},
    {{"/+RHI"}, [] { EXPECT_EQ(S.attr_to_add, 0x03u); EXPECT_EQ(S.confirm, 0); }},
    {{"/+R", "/+H"}, [] { EXPECT_EQ(S.attr_to_add, 0x02u); }},
    {{"/?"}, [] { EXPECT_EQ(S.help_request, HELP_SHOW); }},
    {{"/?0"}, [] { EXPECT_EQ(S.help_request, HELP_SHOW); }},
    {{"/?1"}, [] { EXPECT_EQ(S.help_request, HELP_PARAMETERS); }},
    {{"/?2"}, [] { EXPECT_EQ(S.help_request, 2u); }},
    {{"/?80000001"}, [] { EXPECT_EQ(S.help_request, HELP_SHOW | HELP_PARAMETERS); }},
    {{"/CVR"}, [] { EXPECT_EQ(S.operation, OP_COPY | MOD_VERIFY | MOD_REMOVE_SOURCE); }},
    {{"/CM"}, [] { EXPECT_EQ(S.operation, OP_COPY | MOD_MOVE); }},
    {{"/u2eipst"}, [] {
         EXPECT_EQ(S.operation, OP_UPDATE); EXPECT_EQ(S.two_second_tolerance, 1); EXPECT_EQ(S.continue_on_error, 1);
         EXPECT_EQ(S.confirm, 0); EXPECT_EQ(S.show_progress, 1); EXPECT_EQ(S.write_through, 1);
     }},
    {{"/CI", "/F"}, [] {
         EXPECT_EQ(S.operation, OP_COPY); EXPECT_EQ(S.confirm, 1); EXPECT_EQ(S.crc_polynomial, 0xA001u);
     }},
    {{"/RE", "/C"}, [] { EXPECT_EQ(S.operation, OP_COPY); EXPECT_EQ(S.continue_on_error, 1); }},
    {{"/RE", "/V"}, [] { EXPECT_EQ(S.operation, OP_VERIFY); EXPECT_EQ(S.continue_on_error, 0); }},
    {{"/C2PT", "/U"}, [] {
         EXPECT_EQ(S.operation, OP_UPDATE); EXPECT_EQ(S.two_second_tolerance, 0); EXPECT_EQ(S.show_progress, 0);
         EXPECT_EQ(S.write_through, 0);
     }},
    {{"/R", "/C"}, [] { EXPECT_EQ(S.operation, OP_COPY); }},
    {{"/RVIEP"}, [] {
         EXPECT_EQ(S.operation, OP_DELETE | MOD_VERIFY); EXPECT_EQ(S.confirm, 0); EXPECT_EQ(S.continue_on_error, 1);
         EXPECT_EQ(S.show_progress, 1);
     }},
    {{"/F"}, [] { EXPECT_EQ(S.crc_polynomial, 0xA001u); EXPECT_EQ(S.crc32, 0); EXPECT_EQ(S.operation, OP_LIST); }},
    {{"/FI1234P"}, [] {
         EXPECT_EQ(S.crc_initial_given, 1); EXPECT_EQ(S.crc_initial_value, 0x1234u); EXPECT_EQ(S.show_progress, 1);
     }},
    {{"/FI12E"}, [] { EXPECT_EQ(S.crc_initial_value, 0x12Eu); EXPECT_EQ(S.continue_on_error, 0); }},
    {{"/FI0xffD"}, [] { EXPECT_EQ(S.crc_initial_value, 0xFFDu); EXPECT_EQ(S.crc32, 0); }},
    {{"/FIP"}, [] { EXPECT_EQ(S.crc_initial_value, 0u); EXPECT_EQ(S.show_progress, 1); }},
    {{"/FI123456789"}, [] { EXPECT_EQ(S.crc_initial_value, 0xFFFFFFFFu); }},
    // /FD, /FDN and /FND are pinned by the listing's CRC columns; quote forms by the tokenizer.
    {{"/W='*.c'", "/W='*.h,*.txt'"}, [] { EXPECT_STREQ(S.include_file_names, ",*.c,*.h,*.txt"); }},
    {{"/W:|a,b|"}, [] { EXPECT_STREQ(S.include_file_names, ",a,b"); }},
    {{"/W='abc"}, [] { EXPECT_STREQ(S.include_file_names, ",abc"); }},
    {{"/I='x'/O='tmp'"}, [] { EXPECT_STREQ(S.exclude_file_names, ",x"); EXPECT_STREQ(S.exclude_dir_names, ",tmp"); }},
    {{"/P='src'"}, [] { EXPECT_STREQ(S.include_dir_names, ",src"); EXPECT_EQ(S.included_dir_depth, 0); }},
    {{"/S"}, [] { EXPECT_EQ(S.operation, OP_SIZE); EXPECT_EQ(S.size_unit, 1u); EXPECT_EQ(S.size_total_only, 0); }},
    {{"/S0.5"}, [] { EXPECT_EQ(S.size_unit, 512u); }},
    {{"/ST4"}, [] { EXPECT_EQ(S.size_unit, 4096u); EXPECT_EQ(S.size_total_only, 1); }},
    {{"/S32"}, [] { EXPECT_EQ(S.size_unit, 32768u); }},
    {{"/ST", "/S1"}, [] { EXPECT_EQ(S.size_total_only, 0); EXPECT_EQ(S.size_unit, 1024u); }},
    {{"/T"}, [] { EXPECT_EQ(S.operation, OP_TREE); }},
    {{"/V"}, [] {
         EXPECT_EQ(S.operation, OP_VERIFY); EXPECT_EQ(S.verify_content, 1); EXPECT_EQ(S.verify_show_all, 1);
     }},
    {{"/VNAHRSLD2VEP"}, [] {
         EXPECT_EQ(S.verify_content, 0); EXPECT_EQ(S.verify_attr_mask, 0x27u); EXPECT_EQ(S.verify_size, 1);
         EXPECT_EQ(S.verify_date, 1); EXPECT_EQ(S.two_second_tolerance, 1); EXPECT_EQ(S.verify_show_all, 0);
         EXPECT_EQ(S.continue_on_error, 1); EXPECT_EQ(S.show_progress, 1);
     }},
    {{"/VD", "/V"}, [] { EXPECT_EQ(S.verify_date, 0); EXPECT_EQ(S.verify_content, 1); }},
    {{"/X='echo $n'"}, [] {
         EXPECT_EQ(S.operation, OP_EXECUTE); EXPECT_STREQ(S.exec_command, "echo $n"); EXPECT_EQ(S.confirm, 1);
         EXPECT_EQ(strncmp(S.start_directory, "Z:\\", 3), 0); EXPECT_NE(S.command_interpreter, nullptr);
     }},
    {{"/XAFIN:|cmd|"}, [] {
         EXPECT_EQ(S.exec_full_path, 1); EXPECT_EQ(S.exec_double_dollar, 1); EXPECT_EQ(S.confirm, 0);
         EXPECT_EQ(S.exec_quiet, 1); EXPECT_STREQ(S.exec_command, "cmd");
     }},
    {{"/D"}, [] { EXPECT_EQ(S.operation, OP_SET_DATE); EXPECT_EQ(S.confirm, 1); EXPECT_NE(S.new_date, 0u); }},
    {{"/DI,08:30:00"}, [] { EXPECT_EQ(S.confirm, 0); EXPECT_NE(S.new_date, 0u); }},
    {{"/D2008-01-01,12:00:00"}, [] { EXPECT_EQ(S.new_date / 10000000, 12843662400ull); }},
    {{"/A2008-05-01"}, [] {
         EXPECT_EQ(S.oldest_date, 128541599999990000ull); EXPECT_EQ(S.filter_flags, DATE_RANGE_GIVEN);
     }},
    {{"/AE2008-05-01"}, [] {
         EXPECT_EQ(S.oldest_date, 128540736000000000ull);
         EXPECT_EQ(S.filter_flags, DATE_RANGE_GIVEN | OLDEST_INCLUSIVE);
     }},
    {{"/B2008-05-01"}, [] { EXPECT_EQ(S.newest_date, 128540736000000000ull); }},
    {{"/BE2008-05-01"}, [] {
         EXPECT_EQ(S.newest_date, 128541599999990000ull);
         EXPECT_EQ(S.filter_flags, DATE_RANGE_GIVEN | NEWEST_INCLUSIVE);
     }},
    {{"/AE2008-05-01", "/A2008-05-02"}, [] { EXPECT_EQ(S.filter_flags, DATE_RANGE_GIVEN); }},
};
#undef S

INSTANTIATE_TEST_SUITE_P(Table, AcceptedOptions, testing::ValuesIn(accepted_cases));

class RefusedOptions : public testing::TestWithParam<std::string> {};

TEST_P(RefusedOptions, prints_the_parameter_error_pair)
{
    testing::internal::CaptureStdout();
    const int ok = scan_words({GetParam()});
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(printed.substr(0, 17), "Parameter error. ");
    EXPECT_NE(printed.find("Use /? option to show usage.\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Table, RefusedOptions,
                         testing::Values("/", "/ L1", "//", "/*", "/.", "/G", "/H", "/J", "/K", "/N", "/Z", "/z",
                                         "/[", "/~", "/513", "/4294967296", "/99999999999", "/CMV", "/CVM", "/CRM",
                                         "/UMR", "/CZ", "/L1x", "/Y", "/Y3", "/Y24", "/S3", "/S0", "/S64", "/S0.4",
                                         "/S1.5", "/S0.", "/+D", "/-RD", "/W", "/W=", "/W:", "/Ix", "/X", "/X=",
                                         "/XZ='a'", "/D2008-01-01", "/D2008-01-01I", "/DI2008-01-01,12:00:00I",
                                         "/A", "/A2008-13-01", "/B1600-01-01", "/AE100-01-01", "/B2008-05-01,12:00",
                                         "/TX", "/EE", "/L1 \"unclosed", "/E/L1x", "/?G", "/Q1.5"));

TEST(OptionScan, paths_and_options_mix_in_any_order)
{
    EXPECT_EQ(scan_words({"src", "/L0", "dst", "/Y4", "third"}), 1);
    EXPECT_STREQ(settings.source_arg, "src");
    EXPECT_STREQ(settings.destination_arg, "dst");
    EXPECT_EQ(settings.list_mode, 0);
}

TEST(OptionScan, settings_made_before_a_refusal_stay_and_the_scan_goes_on)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(scan_words({"/L3/Y4/Z"}), 0);
    EXPECT_EQ(settings.list_mode, 3);
    EXPECT_EQ(settings.year_4_digits, 1);
    EXPECT_EQ(scan_words({"/Z", "/L4", "path"}), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(settings.list_mode, 4);
    EXPECT_STREQ(settings.source_arg, "path");
}

TEST(OptionScan, comspec_names_the_command_interpreter)
{
    setenv("COMSPEC", "/bin/bash", 1);
    scan_words({"/X='x'"});
    EXPECT_STREQ(settings.command_interpreter, "/bin/bash");
    unsetenv("COMSPEC");
    scan_words({"/X='x'"});
    EXPECT_STREQ(settings.command_interpreter, "COMMAND.COM");
}
