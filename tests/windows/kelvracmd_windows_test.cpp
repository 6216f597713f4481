// kelvracmd.exe run as a real Windows program, with the Windows fake
// converter copied beside it as "ebook.exe": what it prints, how it ends, and
// the command line the converter receives, byte for byte.

#include "cmd/console_converter.h"
#include "platform/file_system.h"
#include "tests/support/test_files.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace kelvra {
namespace {

using test::ReadRecordedArguments;
using test::ScopedEnv;
using test::TempDir;
using test::WriteFile;

// A program folder holding copies of kelvracmd.exe and the fake "ebook.exe",
// and a work folder (the current folder of each run) with an input file.
class Kelvracmd : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::CopyProgram(test::HostRelative(KELVRACMD_PATH), m_programs.File("kelvracmd.exe"));
        test::CopyProgram(test::FakeConverterPath(), m_programs.File("ebook.exe"));
        WriteFile(m_work.File("in.txt"), "text");
    }

    // Replaces every "{W}" by the work folder.
    std::string Expand(std::string text) const
    {
        for (std::size_t at = text.find("{W}"); at != std::string::npos; at = text.find("{W}", at))
            text.replace(at, 3, m_work.path());
        return text;
    }

    test::ProgramResult Run(const std::vector<std::string>& arguments)
    {
        std::remove(m_record.File("args").c_str());
        std::remove(m_record.File("command line").c_str());
        std::vector<std::string> expanded;
        for (const std::string& argument : arguments)
            expanded.push_back(Expand(argument));
        return test::RunProgram(m_programs.File("kelvracmd.exe"), expanded, m_work.path());
    }

    std::optional<std::vector<std::string>> ConverterArguments() const
    {
        return ReadRecordedArguments(m_record.File("args"));
    }

    std::optional<std::string> ConverterCommandLine() const { return test::ReadFile(m_record.File("command line")); }

    TempDir m_programs;
    TempDir m_work;
    TempDir m_record;
    ScopedEnv m_argsFile{"KELVRA_FAKE_ARGS_FILE", m_record.File("args")};
    ScopedEnv m_commandLineFile{"KELVRA_FAKE_COMMAND_LINE_FILE", m_record.File("command line")};
    ScopedEnv m_write{"KELVRA_FAKE_WRITE", std::nullopt};
};

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
        {"question_mark_inside", {"in?.txt", R"({W}\out.epub)"}, 1, kUsage},
        {"seven_valid_arguments", {"in.txt", R"({W}\out.epub)", "-L1", "-V1", "-X1", "-Y1", "5"}, 2,
         "Parameters error! Please run kelvracmd to get help.\r\n"},
        {"input_missing", {R"({W}\missing.txt)", R"({W}\out.epub)"}, 4,
         "Input file does not found: {W}\\missing.txt\r\n"},
        {"input_is_a_folder", {"{W}", R"({W}\out.epub)"}, 4, "Input file does not found: {W}\r\n"},
        {"output_txt", {"in.txt", R"({W}\out.txt)"}, 3, "Output filename errors: {W}\\out.txt\r\n"},
        {"output_without_folder", {"in.txt", "book.epub"}, 5, "Output path does not be found: book.epub\r\n"},
        {"output_folder_missing", {"in.txt", R"({W}\nope\book.epub)"}, 5,
         "Output path does not be found: {W}\\nope\\book.epub\r\n"},
        {"loop_101", {"in.txt", R"({W}\out.epub)", "-L101"}, 6, "Loop count must be in the range 1-100.\r\n"},
        {"verbose_3", {"in.txt", R"({W}\out.epub)", "-V3"}, 7, "Verbose level must be in [0,1,2].\r\n"},
        {"width_10000", {"in.txt", R"({W}\out.epub)", "-X10000"}, 8, "Pixel width must be in the range 1-9999.\r\n"},
        {"height_negative", {"in.txt", R"({W}\out.epub)", "-y-5"}, 9, "Pixel height must be in the range 1-9999.\r\n"},
        {"loop_not_a_number", {"in.txt", R"({W}\out.epub)", "-Labc"}, 99,
         "Unexpected error: 'abc' is not a valid integer value.\r\n"},
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

TEST_F(Kelvracmd, TheConverterReceivesTheExactCommandLine)
{
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"relative_input", {"in.txt", R"({W}\out.epub)"}},
        {"options_not_passed_on", {"in.txt", R"({W}\out.epub)", "-L5", "-v2", "-X$10", "-Y0x10"}},
        {"blanks_in_names", {"in.txt", R"({W}\my book.epub)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string output = Expand(c.arguments[1]);
        const test::ProgramResult result = Run(c.arguments);

        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.standardOutput, "Convert to: " + output + " [Success]\r\n");
        // The converter's path unquoted, then two blanks, the quoted input,
        // three blanks and the quoted output.
        EXPECT_EQ(ConverterCommandLine(), m_programs.File("ebook.exe") + "  \"in.txt\"   \"" + output + "\"");
        EXPECT_EQ(ConverterArguments(), (std::vector<std::string>{"in.txt", output}));
        EXPECT_GT(FileSizeByOpen(output), 0);
    }
}

TEST_F(Kelvracmd, ConverterFailuresEndWithTheFailedLineAndCode0)
{
    std::vector<test::ConverterFault> faults(std::begin(test::kConverterFaults), std::end(test::kConverterFaults));
    faults.push_back({"writes_empty_file", "KELVRA_FAKE_WRITE", "empty"});
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
    const test::ProgramResult failed = Run({"in.txt", R"({W}\out.epub)"});
    EXPECT_EQ(failed.exitCode, 0);
    EXPECT_EQ(failed.standardOutput, Expand("Convert to: {W}\\out.epub [Failed]\r\n"));

    WriteFile(m_work.File("out.epub"), "from an earlier run");
    const test::ProgramResult stale = Run({"in.txt", R"({W}\out.epub)"});
    EXPECT_EQ(stale.standardOutput, Expand("Convert to: {W}\\out.epub [Success]\r\n"));
}

} // namespace
} // namespace kelvra
