// kelvracmd run as a real program, with the fake converter copied beside it
// as "ebook.exe": what it prints, how it ends, what the converter receives.
// These cases hold on every system; paths are written with "/" and "{W}".

#include "cmd/console_converter.h"
#include "platform/file_system.h"
#include "tests/cmd/kelvracmd_fixture.h"
#include "tests/support/test_files.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace kelvra {
namespace {

using test::WriteFile;

const std::string kUsage(ConsoleUsageText());

TEST_F(Kelvracmd, EveryRefusalPrintsItsLineAndStartsNothing)
{
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        int code;
        std::string output; // "{W}" stands for the work folder
    };
    const Case cases[] = {
        {"no_arguments", {}, 1, kUsage},
        {"help_switch", {"/?"}, 1, kUsage},
        {"question_mark_inside", {"in?.txt", "{W}/out.epub"}, 1, kUsage},
        {"seven_arguments_before_question_mark", {"-?", "b", "c", "d", "e", "f", "g"}, 2,
         "Parameters error! Please run kelvracmd to get help.\r\n"},
        {"seven_valid_arguments", {"in.txt", "{W}/out.epub", "-L1", "-V1", "-X1", "-Y1", "5"}, 2,
         "Parameters error! Please run kelvracmd to get help.\r\n"},
        {"input_missing", {"{W}/missing.txt", "{W}/out.epub"}, 4, "Input file does not found: {W}/missing.txt\r\n"},
        {"input_is_a_folder", {"{W}", "{W}/out.epub"}, 4, "Input file does not found: {W}\r\n"},
        {"input_tested_before_output", {"missing.txt", "out.txt"}, 4, "Input file does not found: missing.txt\r\n"},
        {"empty_input_name", {"", "{W}/out.epub"}, 4, "Input file does not found: \r\n"},
        {"output_txt", {"in.txt", "{W}/out.txt"}, 3, "Output filename errors: {W}/out.txt\r\n"},
        {"output_epub2", {"in.txt", "{W}/out.epub2"}, 3, "Output filename errors: {W}/out.epub2\r\n"},
        {"output_without_extension", {"in.txt", "{W}/out"}, 3, "Output filename errors: {W}/out\r\n"},
        {"option_in_second_place", {"in.txt", "-L5", "{W}/out.epub"}, 3, "Output filename errors: -L5\r\n"},
        {"output_without_folder", {"in.txt", "book.epub"}, 5, "Output path does not be found: book.epub\r\n"},
        {"output_folder_missing", {"in.txt", "{W}/nope/book.epub"}, 5,
         "Output path does not be found: {W}/nope/book.epub\r\n"},
        {"loop_101", {"in.txt", "{W}/out.epub", "-L101"}, 6, "Loop count must be in the range 1-100.\r\n"},
        {"loop_minus_1", {"in.txt", "{W}/out.epub", "-L-1"}, 6, "Loop count must be in the range 1-100.\r\n"},
        {"loop_before_verbose", {"in.txt", "{W}/out.epub", "-V3", "-L101"}, 6,
         "Loop count must be in the range 1-100.\r\n"},
        {"verbose_3", {"in.txt", "{W}/out.epub", "-V3"}, 7, "Verbose level must be in [0,1,2].\r\n"},
        {"verbose_01", {"in.txt", "{W}/out.epub", "-v01"}, 7, "Verbose level must be in [0,1,2].\r\n"},
        {"verbose_before_width_conversion", {"in.txt", "{W}/out.epub", "-Xabc", "-V9"}, 7,
         "Verbose level must be in [0,1,2].\r\n"},
        {"width_10000", {"in.txt", "{W}/out.epub", "-X10000"}, 8, "Pixel width must be in the range 1-9999.\r\n"},
        {"width_hex_too_big", {"in.txt", "{W}/out.epub", "-x$2710"}, 8, "Pixel width must be in the range 1-9999.\r\n"},
        {"height_10000", {"in.txt", "{W}/out.epub", "-Y10000"}, 9, "Pixel height must be in the range 1-9999.\r\n"},
        {"height_negative", {"in.txt", "{W}/out.epub", "-y-5"}, 9, "Pixel height must be in the range 1-9999.\r\n"},
        {"loop_not_a_number", {"in.txt", "{W}/out.epub", "-Labc"}, 99,
         "Unexpected error: 'abc' is not a valid integer value.\r\n"},
        {"loop_without_value", {"in.txt", "{W}/out.epub", "-L"}, 99,
         "Unexpected error: '' is not a valid integer value.\r\n"},
        {"loop_value_apart", {"in.txt", "{W}/out.epub", "-L", "5"}, 99,
         "Unexpected error: '' is not a valid integer value.\r\n"},
        {"height_trailing_blank", {"in.txt", "{W}/out.epub", "-Y5 "}, 99,
         "Unexpected error: '5 ' is not a valid integer value.\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const test::ProgramResult result = Run(c.arguments);
        EXPECT_EQ(result.exitCode, c.code);
        EXPECT_EQ(result.standardOutput, Expand(c.output));
        EXPECT_EQ(result.standardError, "");
        EXPECT_FALSE(ConverterArguments().has_value()) << "the converter was started";
        EXPECT_FALSE(DirectoryExists(m_work.File("nope")));
    }
}

TEST_F(Kelvracmd, AcceptedOptionsAreCheckedButNeverPassedOn)
{
    const std::vector<std::string> optionSets[] = {
        {"-L0"}, {"-L100"}, {"-l50", "-L200"}, {"-V"}, {"-V0"}, {"-v2"}, {"-X$10"}, {"-x9999", "-Y0"},
        {"-y0x10", "-X x1f"}, {"-L1", "-V1", "-X1", "-Y1"},
    };
    for (const std::vector<std::string>& options : optionSets) {
        SCOPED_TRACE(options.front());
        std::vector<std::string> arguments{"in.txt", "{W}/out.epub"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const test::ProgramResult result = Run(arguments);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.standardOutput, Expand("Convert to: {W}/out.epub [Success]\r\n"));
        EXPECT_EQ(ConverterArguments(), (std::vector<std::string>{"in.txt", m_work.File("out.epub")}));
    }
}

TEST_F(Kelvracmd, OutputExtensionsThatPass)
{
    for (const char* name : {"Book.EPUB", "book.ep", "book.e", "book."}) {
        SCOPED_TRACE(name);
        const test::ProgramResult result = Run({"in.txt", "{W}/" + std::string(name)});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.standardOutput, Expand("Convert to: {W}/" + std::string(name) + " [Success]\r\n"));
        EXPECT_GT(FileSizeByOpen(m_work.File(name)), 0);
    }
}

TEST_F(Kelvracmd, ConverterFailuresEndWithTheFailedLineAndCode0)
{
    std::vector<test::ConverterFault> faults(std::begin(test::kConverterFaults), std::end(test::kConverterFaults));
    faults.push_back({"writes_empty_file", "KELVRA_FAKE_WRITE", "empty"}); // an empty output is no success
    for (const test::ConverterFault& c : faults) {
        SCOPED_TRACE(c.name);
        test::ScopedConverterFault fault(c);
        const std::string output = m_work.File(std::string(c.name) + ".epub");

        const test::ProgramResult result = Run({"in.txt", output});

        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.standardOutput, "Convert to: " + output + " [Failed]\r\n");
        EXPECT_TRUE(ConverterArguments().has_value());
    }
}

TEST_F(Kelvracmd, MissingConverterIsAFailureUnlessAnEarlierOutputStands)
{
    ASSERT_TRUE(RemoveFile(m_programs.File("ebook.exe")));
    const test::ProgramResult failed = Run({"in.txt", "{W}/out.epub"});
    EXPECT_EQ(failed.exitCode, 0);
    EXPECT_EQ(failed.standardOutput, Expand("Convert to: {W}/out.epub [Failed]\r\n"));

    WriteFile(m_work.File("out.epub"), "from an earlier run");
    const test::ProgramResult stale = Run({"in.txt", "{W}/out.epub"});
    EXPECT_EQ(stale.standardOutput, Expand("Convert to: {W}/out.epub [Success]\r\n"));
}

TEST_F(Kelvracmd, OnlyAnInputNameGivesTwoBlanksBeforeTheBracket)
{
    const test::ProgramResult result = Run({"in.txt"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardOutput, "Convert to:  [Failed]\r\n");
    EXPECT_EQ(ConverterArguments(), (std::vector<std::string>{"in.txt", ""}));
}

} // namespace
} // namespace kelvra
